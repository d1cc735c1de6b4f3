#pragma once

#include <QByteArray>
#include <QtGlobal>

namespace veltrane::test {

// Sets the user's language (LC_ALL) for one test and restores it after.
class ScopedLanguage
{
public:
    explicit ScopedLanguage(const char* value) : m_saved(qgetenv("LC_ALL"))
    {
        qputenv("LC_ALL", value);
    }
    ~ScopedLanguage()
    {
        if (m_saved.isNull()) {
            qunsetenv("LC_ALL");
        } else {
            qputenv("LC_ALL", m_saved);
        }
    }
    ScopedLanguage(const ScopedLanguage&) = delete;
    ScopedLanguage& operator=(const ScopedLanguage&) = delete;

private:
    QByteArray m_saved;
};

} // namespace veltrane::test
