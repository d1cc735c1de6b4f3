#pragma once

#include "filelist/ListImport.h"

#include <memory>
#include <QDialog>

namespace Ui {
class ImportFiles;
}

namespace veltrane {

// The import sheet: paths from a text file or from typed or pasted text, parsed into file URLs
// with the count found; Import hands them over, Cancel hands over none. Made once and reused;
// the mode chosen last stays, the path, text and results are cleared at each opening.
class ImportFilesWindowController : public QDialog
{
    Q_OBJECT
public:
    ImportFilesWindowController(const QString& allowedTypes, QWidget* window);
    ~ImportFilesWindowController() override;

    const QList<QUrl>& files() const { return m_import.files; }
    void resetView();
    void showSheet();
    // 0: from a text file, 1: from text; anything else: neither.
    void importMethodChanged(int tag);
    void browseImportFileAction();
    void pasetFromClipboardAction();
    void importAction();
    void cancelAction();
    void reject() override { cancelAction(); }
    Ui::ImportFiles& ui() { return *m_ui; }

signals:
    // After an import (files() holds what was found) and after a cancel (files() is empty).
    void ImportFilesWindowControllerDidFinish();

private:
    bool fileMode() const;

    std::unique_ptr<Ui::ImportFiles> m_ui;
    ListImport m_import;
};

} // namespace veltrane
