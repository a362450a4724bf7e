#pragma once

#include <QDialog>

class ImageButton;
class QLabel;
class QPlainTextEdit;
class TitleImage;

// What an import of dropped contact files did: every report line, then the
// summary (or why nothing was imported). Modal; 閉じる, Enter or Esc close it.
class frmImport : public QDialog {
    Q_OBJECT
public:
    frmImport(const QStringList &report, const QString &summary);

    TitleImage *imgTitle;
    QPlainTextEdit *txtReport;
    QLabel *lblSummary;
    ImageButton *imgOK;
};
