// make_guide INPUT.md OUTPUT.pdf
//
// Turns the Markdown user guide into the PDF the Help menu opens. Runs at build time, headless:
// Qt Gui only (QTextDocument lays the text out, QPdfWriter writes the pages). The output is
// written through a temporary file and renamed into place, so a failed run never leaves a
// half-written guide behind. Exit status 0 on success, 1 (with one line on standard error) when
// the input cannot be read or the output cannot be written.

#include <cstdio>
#include <QByteArray>
#include <QColor>
#include <QFile>
#include <QFont>
#include <QGuiApplication>
#include <QMarginsF>
#include <QMessageLogContext>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QSaveFile>
#include <QString>
#include <QStringList>
#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>
#include <QTextTableCell>

namespace {

const QColor kHeadingColour(0x1a, 0x5f, 0xb4);
const QColor kRuleColour(0xb8, 0xb8, 0xb8);
const QColor kHeaderCellColour(0xe8, 0xef, 0xf8);
const QColor kCodeBackground(0xf2, 0xf2, 0xf2);
const QColor kCodeText(0x30, 0x30, 0x30);
const QColor kCodeRuleColour(0xd0, 0xd0, 0xd0);
const QColor kInlineCodeBackground(0xf0, 0xf0, 0xf0);

constexpr qreal kBodyPointSize = 10.0;
constexpr qreal kRuleWidth = 1.0;
// Inline code keeps the body size, so a line with code is as tall as one without: the two
// cells of a table row then break onto the next page together.
constexpr qreal kInlineCodePointSize = kBodyPointSize;
constexpr qreal kCodeBlockPointSize = 8.5;

int fail(const QString& message)
{
    std::fprintf(stderr, "make_guide: %s\n", message.toLocal8Bit().constData());
    return 1;
}

// Build logs stay clean: the headless platform's note about a missing XDG_RUNTIME_DIR (usual in
// build containers) is dropped; every other message is printed as Qt would print it.
void quietStartupWarnings(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (type == QtWarningMsg && text.startsWith(QLatin1String("QStandardPaths: "))) {
        return;
    }
    std::fprintf(stderr, "%s\n", qFormatLogMessage(type, context, text).toLocal8Bit().constData());
}

QFont bodyFont()
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSizeF(kBodyPointSize);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

QFont codeFont(qreal pointSize)
{
    QFont font(QStringLiteral("DejaVu Sans Mono"));
    font.setPointSizeF(pointSize);
    font.setStyleHint(QFont::Monospace);
    font.setFixedPitch(true);
    return font;
}

qreal headingPointSize(int level)
{
    switch (level) {
    case 1:
        return 20.0;
    case 2:
        return 15.0;
    case 3:
        return 12.0;
    default:
        return 10.5;
    }
}

bool isCodeBlock(const QTextBlockFormat& format)
{
    return format.hasProperty(QTextFormat::BlockCodeFence) ||
           format.hasProperty(QTextFormat::BlockCodeLanguage);
}

// Applies `change` to the character format of every fragment of `block`, fragment by fragment,
// so inline differences (bold, code, links) inside the block survive.
template <typename Change>
void restyleFragments(QTextDocument& document, const QTextBlock& block, Change change)
{
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        if (!fragment.isValid()) {
            continue;
        }
        QTextCharFormat format = fragment.charFormat();
        change(format);
        QTextCursor cursor(&document);
        cursor.setPosition(fragment.position());
        cursor.setPosition(fragment.position() + fragment.length(), QTextCursor::KeepAnchor);
        cursor.setCharFormat(format);
    }
}

// Headings, paragraphs and code: sizes, colours and spacing the Markdown reader leaves plain.
void styleBlocks(QTextDocument& document)
{
    bool firstHeading = true;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        QTextBlockFormat blockFormat = block.blockFormat();
        const int level = blockFormat.headingLevel();
        const bool inTable = QTextCursor(block).currentTable() != nullptr;

        if (level > 0) {
            blockFormat.setTopMargin(firstHeading ? 0.0 : (level <= 2 ? 18.0 : 12.0));
            blockFormat.setBottomMargin(level == 1 ? 10.0 : 6.0);
            blockFormat.setPageBreakPolicy(QTextFormat::PageBreak_Auto);
            firstHeading = false;
            const qreal size = headingPointSize(level);
            restyleFragments(document, block, [size](QTextCharFormat& format) {
                format.clearProperty(QTextFormat::FontSizeAdjustment);
                format.setFontPointSize(size);
                format.setFontWeight(QFont::Bold);
                format.setForeground(kHeadingColour);
            });
        } else if (isCodeBlock(blockFormat)) {
            blockFormat.setTopMargin(0.0);
            blockFormat.setBottomMargin(0.0);
            blockFormat.setNonBreakableLines(true);
            restyleFragments(document, block, [](QTextCharFormat& format) {
                format.setFont(codeFont(kCodeBlockPointSize), QTextCharFormat::FontPropertiesAll);
                format.setForeground(kCodeText);
            });
        } else {
            // Cells have padding of their own; paragraphs outside get a gap below.
            blockFormat.setTopMargin(0.0);
            blockFormat.setBottomMargin(inTable ? 0.0 : 7.0);
            blockFormat.setLineHeight(118.0, QTextBlockFormat::ProportionalHeight);
            restyleFragments(document, block, [](QTextCharFormat& format) {
                if (format.fontFixedPitch()) {
                    const bool bold = format.fontWeight() >= QFont::DemiBold;
                    format.setFont(codeFont(kInlineCodePointSize),
                                   QTextCharFormat::FontPropertiesAll);
                    if (bold) {
                        format.setFontWeight(QFont::Bold);
                    }
                    format.setForeground(kCodeText);
                    format.setBackground(kInlineCodeBackground);
                }
            });
        }
        QTextCursor(block).setBlockFormat(blockFormat);
    }
}

// Each run of code lines goes into a frame of its own: a light box with a thin border and some
// room around the text.
void boxCodeBlocks(QTextDocument& document)
{
    QTextFrameFormat box;
    box.setBackground(kCodeBackground);
    box.setBorder(kRuleWidth);
    box.setBorderBrush(kCodeRuleColour);
    box.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
    box.setPadding(6.0);
    box.setTopMargin(2.0);
    box.setBottomMargin(10.0);
    box.setWidth(QTextLength(QTextLength::PercentageLength, 100.0));

    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (!isCodeBlock(block.blockFormat()) ||
            QTextCursor(block).currentFrame() != document.rootFrame()) {
            continue;
        }
        QTextBlock last = block;
        while (last.next().isValid() && isCodeBlock(last.next().blockFormat())) {
            last = last.next();
        }
        QTextCursor cursor(&document);
        cursor.setPosition(block.position());
        cursor.setPosition(last.position() + last.length() - 1, QTextCursor::KeepAnchor);
        QTextFrame* frame = cursor.insertFrame(box);
        // Carry on after the frame; the blocks moved into it are done.
        block = frame->lastCursorPosition().block();
    }
}

// Tables get thin collapsed borders, cell padding, the full text width and a shaded header row
// that repeats at the top of each page a table runs onto.
void styleTables(QTextFrame* frame)
{
    const QList<QTextFrame*> children = frame->childFrames();
    for (QTextFrame* child : children) {
        if (auto* table = qobject_cast<QTextTable*>(child)) {
            QTextTableFormat format = table->format();
            format.setBorder(kRuleWidth);
            format.setBorderBrush(kRuleColour);
            format.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
            format.setBorderCollapse(true);
            format.setCellSpacing(0.0);
            format.setCellPadding(4.0);
            format.setTopMargin(2.0);
            format.setBottomMargin(10.0);
            format.setWidth(QTextLength(QTextLength::PercentageLength, 100.0));
            format.setHeaderRowCount(1);
            table->setFormat(format);
            // Collapsed borders are drawn from each cell's own border, not the table's.
            for (int row = 0; row < table->rows(); ++row) {
                for (int column = 0; column < table->columns(); ++column) {
                    QTextTableCell cell = table->cellAt(row, column);
                    QTextTableCellFormat cellFormat = cell.format().toTableCellFormat();
                    cellFormat.setBorder(kRuleWidth);
                    cellFormat.setBorderBrush(kRuleColour);
                    cellFormat.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
                    if (row == 0) {
                        cellFormat.setBackground(kHeaderCellColour);
                        cellFormat.setFontWeight(QFont::Bold);
                    }
                    cell.setFormat(cellFormat);
                }
            }
        }
        styleTables(child);
    }
}

} // namespace

int main(int argc, char** argv)
{
    // The input is read and the output opened before the GUI side starts, so a bad path gets
    // its one-line message and nothing else.
    if (argc != 3) {
        return fail(QStringLiteral("usage: make_guide INPUT.md OUTPUT.pdf"));
    }
    const QString inputPath = QFile::decodeName(argv[1]);
    const QString outputPath = QFile::decodeName(argv[2]);

    QFile input(inputPath);
    if (!input.open(QIODevice::ReadOnly)) {
        return fail(QStringLiteral("cannot read %1: %2").arg(inputPath, input.errorString()));
    }
    const QByteArray bytes = input.readAll();
    if (input.error() != QFileDevice::NoError) {
        return fail(QStringLiteral("cannot read %1: %2").arg(inputPath, input.errorString()));
    }
    input.close();

    QSaveFile output(outputPath);
    if (!output.open(QIODevice::WriteOnly)) {
        return fail(QStringLiteral("cannot write %1: %2").arg(outputPath, output.errorString()));
    }

    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen"));
    }
    qInstallMessageHandler(quietStartupWarnings);
    QGuiApplication app(argc, argv);

    QTextDocument document;
    document.setDefaultFont(bodyFont());
    document.setMarkdown(QString::fromUtf8(bytes), QTextDocument::MarkdownDialectGitHub);
    document.setMetaInformation(QTextDocument::DocumentTitle,
                                QStringLiteral("Veltrane User Guide"));
    styleBlocks(document);
    styleTables(document.rootFrame());
    boxCodeBlocks(document);

    {
        QPdfWriter writer(&output);
        writer.setTitle(QStringLiteral("Veltrane User Guide"));
        writer.setCreator(QStringLiteral("Veltrane"));
        writer.setResolution(300);
        // Almost no printer margins: QTextDocument::print() lays the unpaginated text out with
        // a 20 mm margin of its own on each side and puts the page number in the bottom margin.
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                         QMarginsF(2.0, 2.0, 2.0, 2.0), QPageLayout::Millimeter));
        document.print(&writer);
    }
    if (!output.commit()) {
        return fail(QStringLiteral("cannot write %1: %2").arg(outputPath, output.errorString()));
    }
    return 0;
}
