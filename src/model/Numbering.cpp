#include "model/Numbering.h"

#include "model/TextStamp.h"
#include "platform/PreferencesStore.h"
#include "platform/SystemLog.h"

#include <QCoreApplication>
#include <QFontDatabase>
#include <QGuiApplication>
#include <stdexcept>
#include <system_error>

namespace veltrane {
namespace {

bool hasFontDatabase()
{
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
}

// Every family the font database lists, in its order; none, and a log line, without a GUI
// application. Any thread: the database locks itself.
QList<PDFFont> readFontList()
{
    QList<PDFFont> fonts;
    guarded(QStringLiteral("Error in (Numbering=>getPDFFonts) : %@"), [&] {
        if (!hasFontDatabase()) {
            throw std::runtime_error("the font database needs a running GUI application");
        }
        const QStringList families = QFontDatabase::families();
        fonts.reserve(families.size());
        for (const QString& family : families) {
            fonts.append(PDFFont::initWithFont(family, -1, 12.0, false));
        }
    });
    return fonts;
}

} // namespace

Numbering::Numbering()
{
    const QVariant stored = PreferencesStore::shared().value(QStringLiteral("NUMBERING"));
    if (stored.isValid()) {
        setData(stored);
    }
    if (hasFontDatabase()) {
        try {
            m_fonts = std::async(std::launch::async, readFontList).share();
            return;
        } catch (const std::system_error&) {
            // No thread to spare: the list is read here.
        }
    }
    getPDFFonts();
}

Numbering::Numbering(const Numbering& other)
    : m_dateTaken(other.m_dateTaken), m_pdfOpenPassword(other.m_pdfOpenPassword),
      m_outputFolder(other.m_outputFolder), m_labelPrefix(other.m_labelPrefix),
      m_endPage(other.m_endPage), m_hasLabel(other.m_hasLabel),
      m_isBackupFile(other.m_isBackupFile), m_keepsEncryption(other.m_keepsEncryption),
      m_isContinuousNumbering(other.m_isContinuousNumbering),
      m_isMarginInPercentage(other.m_isMarginInPercentage),
      m_isSymmetryPage(other.m_isSymmetryPage), m_marginLeft(other.m_marginLeft),
      m_marginTop(other.m_marginTop), m_marginRight(other.m_marginRight),
      m_marginBottom(other.m_marginBottom), m_marginUnit(other.m_marginUnit),
      m_numberSteps(other.m_numberSteps), m_pageRange(other.m_pageRange),
      m_startNumber(other.m_startNumber), m_startPage(other.m_startPage),
      m_isHighlightStamp(other.m_isHighlightStamp), m_isLivePreview(other.m_isLivePreview),
      m_fonts(other.m_fonts), m_numberCounter(other.m_numberCounter),
      m_isSettingsChanged(other.m_isSettingsChanged)
{
    m_stamps.reserve(other.m_stamps.size());
    for (const auto& stamp : other.m_stamps) {
        m_stamps.push_back(stamp->clone());
    }
}

Numbering::~Numbering()
{
    m_delegate = nullptr;
}

void Numbering::setStamps(StampList stamps)
{
    m_stamps = std::move(stamps);
}

void Numbering::trackedChange()
{
    if (!m_isUpdating.load() && m_delegate) {
        m_delegate->PropertyChanged(this);
    }
}

#define VELTRANE_TRACKED_SETTER(Setter, Type, member)                                              \
    void Numbering::Setter(Type value)                                                             \
    {                                                                                              \
        member = value;                                                                            \
        trackedChange();                                                                           \
    }

VELTRANE_TRACKED_SETTER(setLabelPrefix, const QString&, m_labelPrefix)
VELTRANE_TRACKED_SETTER(setEndPage, qint64, m_endPage)
VELTRANE_TRACKED_SETTER(setHasLabel, bool, m_hasLabel)
VELTRANE_TRACKED_SETTER(setIsContinuousNumbering, bool, m_isContinuousNumbering)
VELTRANE_TRACKED_SETTER(setMarginLeft, double, m_marginLeft)
VELTRANE_TRACKED_SETTER(setMarginTop, double, m_marginTop)
VELTRANE_TRACKED_SETTER(setMarginRight, double, m_marginRight)
VELTRANE_TRACKED_SETTER(setMarginBottom, double, m_marginBottom)
VELTRANE_TRACKED_SETTER(setNumberSteps, qint64, m_numberSteps)
VELTRANE_TRACKED_SETTER(setPageRange, qint32, m_pageRange)
VELTRANE_TRACKED_SETTER(setStartNumber, qint64, m_startNumber)
VELTRANE_TRACKED_SETTER(setStartPage, qint64, m_startPage)
VELTRANE_TRACKED_SETTER(setIsHighlightStamp, bool, m_isHighlightStamp)
VELTRANE_TRACKED_SETTER(setIsLivePreview, bool, m_isLivePreview)
VELTRANE_TRACKED_SETTER(setIsSettingsChanged, bool, m_isSettingsChanged)

#undef VELTRANE_TRACKED_SETTER

QStringList Numbering::keyPathsForValuesAffectingIsSettingsChanged()
{
    return {QStringLiteral("hasLabel"),         QStringLiteral("isContinuousNumbering"),
            QStringLiteral("labelPrefix"),      QStringLiteral("marginLeft"),
            QStringLiteral("marginTop"),        QStringLiteral("marginRight"),
            QStringLiteral("marginBottom"),     QStringLiteral("pageRange"),
            QStringLiteral("startNumber"),      QStringLiteral("numberSteps"),
            QStringLiteral("startPage"),        QStringLiteral("endPage"),
            QStringLiteral("isHighlightStamp"), QStringLiteral("isLivePreview")};
}

void Numbering::beginUpdate()
{
    m_isUpdating.store(true);
}

void Numbering::endUpdate(bool notify)
{
    m_isUpdating.store(false);
    if (notify && m_delegate) {
        m_delegate->PropertyChanged(this);
    }
}

void Numbering::cancelUpdate()
{
    m_isUpdating.store(false);
}

double Numbering::convertToPointUnit(double value) const
{
    switch (m_marginUnit) {
    case Millimetres:
        return value * 72.0 / 25.4;
    case Inches:
        return value * 72.0;
    default:
        return value;
    }
}

void Numbering::convertPoints(qint32 previousUnit)
{
    guarded(QStringLiteral("Error in (Numbering=>convertPoints:) : %@"), [&] {
        const qint32 unit = m_marginUnit;
        auto convert = [&](double value) {
            if (value <= 0) {
                return value;
            }
            if (previousUnit == Points && unit == Millimetres) {
                return value / 72.0 * 25.4;
            }
            if (previousUnit == Points && unit == Inches) {
                return value / 72.0;
            }
            if (previousUnit == Millimetres && unit == Points) {
                return value * 72.0 / 25.4;
            }
            if (previousUnit == Millimetres && unit == Inches) {
                return value / 25.4;
            }
            if (previousUnit == Inches && unit == Points) {
                return value * 72.0;
            }
            if (previousUnit == Inches && unit == Millimetres) {
                return value * 25.4;
            }
            return value;
        };
        setMarginLeft(convert(m_marginLeft));
        setMarginTop(convert(m_marginTop));
        setMarginRight(convert(m_marginRight));
        setMarginBottom(convert(m_marginBottom));
    });
}

void Numbering::convertPointsToPercentage(const QSizeF& size)
{
    guarded(QStringLiteral("Error in (Numbering=>convertPointsToPercentage:) : %@"), [&] {
        auto convert = [&](double value, double dimension) {
            // A zero reference (a collapsed preview) would turn margins into infinities.
            if (value <= 0 || !(dimension > 0)) {
                return value;
            }
            return m_isMarginInPercentage ? convertToPointUnit(value) / dimension * 100.0
                                          : value * dimension / 100.0;
        };
        setMarginTop(convert(m_marginTop, size.height()));
        setMarginBottom(convert(m_marginBottom, size.height()));
        setMarginLeft(convert(m_marginLeft, size.width()));
        setMarginRight(convert(m_marginRight, size.width()));
        if (!m_isMarginInPercentage) {
            convertPoints(Points);
        }
    });
}

void Numbering::reset()
{
    guarded(QStringLiteral("Error in (Numbering=>reset) : %@"), [&] {
        m_numberCounter = m_startNumber;
        for (const auto& stamp : m_stamps) {
            stamp->reset();
        }
    });
}

void Numbering::getPDFFonts()
{
    std::promise<QList<PDFFont>> list;
    list.set_value(readFontList());
    m_fonts = list.get_future().share();
}

QString Numbering::romanNumeralsFromInt(qint32 value)
{
    return TextStamp::romanNumeralsFromInt(value);
}

} // namespace veltrane
