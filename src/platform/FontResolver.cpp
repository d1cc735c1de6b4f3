#include "platform/FontResolver.h"

#include <fontconfig/fontconfig.h>
#include <memory>
#include <mutex>
#include <QHash>
#include <QSet>

namespace veltrane {
namespace {

struct PatternDeleter
{
    void operator()(FcPattern* p) const { FcPatternDestroy(p); }
};
struct FontSetDeleter
{
    void operator()(FcFontSet* s) const { FcFontSetDestroy(s); }
};
struct ObjectSetDeleter
{
    void operator()(FcObjectSet* s) const { FcObjectSetDestroy(s); }
};

// Lower-cased family names of every installed font.
QHash<QString, QString> installedFamilies()
{
    QHash<QString, QString> families;
    std::unique_ptr<FcPattern, PatternDeleter> all(FcPatternCreate());
    std::unique_ptr<FcObjectSet, ObjectSetDeleter> fields(FcObjectSetBuild(FC_FAMILY, nullptr));
    std::unique_ptr<FcFontSet, FontSetDeleter> fonts(FcFontList(nullptr, all.get(), fields.get()));
    if (!fonts) {
        return families;
    }
    for (int i = 0; i < fonts->nfont; ++i) {
        FcChar8* name = nullptr;
        for (int n = 0; FcPatternGetString(fonts->fonts[i], FC_FAMILY, n, &name) == FcResultMatch;
             ++n) {
            const QString family = QString::fromUtf8(reinterpret_cast<const char*>(name));
            families.insert(family.toLower(), family);
        }
    }
    return families;
}

std::optional<QString> resolveUncached(const QString& family,
                                       const QHash<QString, QString>& installed)
{
    if (family.trimmed().isEmpty()) {
        return std::nullopt;
    }
    if (auto it = installed.constFind(family.toLower()); it != installed.cend()) {
        return it.value();
    }
    // Aliases that the configuration binds strongly (binding "same" or "strong") name fonts
    // meant to stand in for this family; weak bindings are the generic fallbacks.
    std::unique_ptr<FcPattern, PatternDeleter> pattern(FcPatternCreate());
    const QByteArray name = family.toUtf8();
    FcPatternAddString(pattern.get(), FC_FAMILY,
                       reinterpret_cast<const FcChar8*>(name.constData()));
    FcConfigSubstitute(nullptr, pattern.get(), FcMatchPattern);
    FcValue value;
    FcValueBinding binding;
    for (int n = 0;
         FcPatternGetWithBinding(pattern.get(), FC_FAMILY, n, &value, &binding) == FcResultMatch;
         ++n) {
        if (value.type != FcTypeString || binding == FcValueBindingWeak) {
            continue;
        }
        const QString alias = QString::fromUtf8(reinterpret_cast<const char*>(value.u.s));
        if (auto it = installed.constFind(alias.toLower()); it != installed.cend()) {
            return it.value();
        }
    }
    return std::nullopt;
}

} // namespace

std::optional<QString> resolveFontFamily(const QString& family)
{
    static std::mutex mutex;
    static QHash<QString, std::optional<QString>> cache;
    static QHash<QString, QString> installed;
    static bool listed = false;
    std::lock_guard lock(mutex);
    if (auto it = cache.constFind(family); it != cache.cend()) {
        return it.value();
    }
    if (!listed) {
        installed = installedFamilies();
        listed = true;
    }
    const std::optional<QString> resolved = resolveUncached(family, installed);
    cache.insert(family, resolved);
    return resolved;
}

} // namespace veltrane
