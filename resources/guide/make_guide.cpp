// Build step: turns the user guide's Markdown into the PDF the Help menu opens.
// Usage: make_guide INPUT.md OUTPUT.pdf
#include <cstdio>
#include <QFile>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTextDocument>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_guide INPUT.md OUTPUT.pdf\n");
        return 1;
    }
    QFile input(QString::fromLocal8Bit(argv[1]));
    if (!input.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "make_guide: cannot read %s\n", argv[1]);
        return 1;
    }
    QTextDocument document;
    document.setDefaultFont(QFont(QStringLiteral("DejaVu Sans"), 10));
    document.setDefaultStyleSheet(QStringLiteral("table { border-collapse: collapse; } "
                                                 "th, td { padding: 3px; }"));
    document.setMarkdown(QString::fromUtf8(input.readAll()));

    QSaveFile output(QString::fromLocal8Bit(argv[2]));
    if (!output.open(QIODevice::WriteOnly)) {
        std::fprintf(stderr, "make_guide: cannot write %s\n", argv[2]);
        return 1;
    }
    {
        QPdfWriter writer(&output);
        writer.setTitle(QStringLiteral("Veltrane User Guide"));
        writer.setCreator(QStringLiteral("Veltrane"));
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                         QMarginsF(20, 20, 20, 20), QPageLayout::Millimeter));
        document.print(&writer);
    }
    if (!output.commit()) {
        std::fprintf(stderr, "make_guide: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
