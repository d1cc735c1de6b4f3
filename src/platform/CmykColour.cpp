#include "platform/CmykColour.h"

#include <lcms2.h>
#include <QFile>

namespace veltrane {
namespace {

struct ProfileCloser
{
    void operator()(void* profile) const
    {
        if (profile) {
            cmsCloseProfile(profile);
        }
    }
};
using Profile = std::unique_ptr<void, ProfileCloser>;

Profile cmykProfile(const QByteArray& bytes)
{
    Profile profile(bytes.isEmpty()
                        ? nullptr
                        : cmsOpenProfileFromMem(bytes.constData(), cmsUInt32Number(bytes.size())));
    if (profile && cmsGetColorSpace(profile.get()) != cmsSigCmykData) {
        profile.reset();
    }
    return profile;
}

} // namespace

QString CmykToRgb::standardProfilePath()
{
    return QStringLiteral("/usr/share/color/icc/ghostscript/default_cmyk.icc");
}

std::unique_ptr<CmykToRgb> CmykToRgb::create(const QByteArray& embeddedProfile, bool sixteenBit,
                                             bool inverted, Output output, QString* error)
{
    std::unique_ptr<CmykToRgb> converter(new CmykToRgb);
    converter->m_profile = embeddedProfile;
    converter->m_sixteenBit = sixteenBit;
    converter->m_opaqueWords = output == Output::Rgb32;
    Profile source = cmykProfile(embeddedProfile);
    converter->m_embedded = source != nullptr;
    if (!source) {
        QFile standard(standardProfilePath());
        if (standard.open(QIODevice::ReadOnly)) {
            source = cmykProfile(standard.readAll());
        }
    }
    if (!source) {
        if (error) {
            *error = QStringLiteral("no usable CMYK colour profile (%1 is missing or damaged)")
                         .arg(standardProfilePath());
        }
        return nullptr;
    }
    const Profile srgb(cmsCreate_sRGBProfile());
    cmsUInt32Number in = sixteenBit ? TYPE_CMYK_16 : TYPE_CMYK_8;
    if (inverted) {
        in |= FLAVOR_SH(1);
    }
    // RGB32 is 0xffRRGGBB in a 32-bit word: B, G, R, A bytes in memory on this byte order.
    const cmsUInt32Number rgb32 = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? TYPE_BGRA_8 : TYPE_ARGB_8;
    converter->m_transform = cmsCreateTransform(source.get(), in, srgb.get(),
                                                output == Output::Rgb32 ? rgb32 : TYPE_RGB_8,
                                                INTENT_RELATIVE_COLORIMETRIC, 0);
    if (!converter->m_transform) {
        if (error) {
            *error = QStringLiteral("the CMYK colour profile cannot be used");
        }
        return nullptr;
    }
    return converter;
}

CmykToRgb::~CmykToRgb()
{
    if (m_transform) {
        cmsDeleteTransform(m_transform);
    }
}

void CmykToRgb::convert(const void* cmyk, uchar* out, int pixels) const
{
    cmsDoTransform(m_transform, cmyk, out, cmsUInt32Number(pixels));
    if (m_opaqueWords) {
        // The transform leaves the alpha byte alone: the pixels are opaque.
        auto* words = reinterpret_cast<quint32*>(out);
        for (int i = 0; i < pixels; ++i) {
            words[i] |= 0xff000000u;
        }
    }
}

} // namespace veltrane
