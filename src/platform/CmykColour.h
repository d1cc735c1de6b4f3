#pragma once

#include <memory>
#include <QByteArray>
#include <QString>

namespace veltrane {

// Turns CMYK samples into RGB through LittleCMS: from the picture's embedded ICC profile when it
// has a CMYK one, else from the standard CMYK profile, to sRGB, relative colorimetric. One
// converter per picture; a converter is used by one thread at a time.
class CmykToRgb
{
public:
    // The pixels it makes: R, G, B bytes (QImage::Format_RGB888) or opaque Format_RGB32.
    enum class Output { Rgb888, Rgb32 };

    // `sixteenBit`: samples of 16 bits in the machine's byte order, else of 8. `inverted`:
    // samples hold the paper left rather than the ink (Adobe's CMYK JPEGs). No value (and
    // `error`) when neither profile can be used. Making one costs some milliseconds: keep it
    // for every page of a file that it fits.
    static std::unique_ptr<CmykToRgb> create(const QByteArray& embeddedProfile, bool sixteenBit,
                                             bool inverted, Output output, QString* error);
    ~CmykToRgb();
    CmykToRgb(const CmykToRgb&) = delete;
    CmykToRgb& operator=(const CmykToRgb&) = delete;

    // Whether the embedded profile is the one used.
    bool usesEmbeddedProfile() const { return m_embedded; }
    // Whether it was made for these arguments.
    bool fits(const QByteArray& embeddedProfile, bool sixteenBit) const
    {
        return m_profile == embeddedProfile && m_sixteenBit == sixteenBit;
    }
    // `pixels` CMYK samples to output pixels; `out` may be `cmyk` when both take 4 bytes a pixel.
    void convert(const void* cmyk, uchar* out, int pixels) const;

    // The standard CMYK profile used for pictures that carry none (Ghostscript's default,
    // a SWOP-like press profile).
    static QString standardProfilePath();

private:
    CmykToRgb() = default;

    void* m_transform = nullptr;
    QByteArray m_profile;
    bool m_sixteenBit = false;
    bool m_opaqueWords = false;
    bool m_embedded = false;
};

} // namespace veltrane
