#pragma once

// The sign-board message editor. Its text box is also the preview: drawn in a
// fixed-pitch font, as wide as the board's lines and holding no more than the
// board shows, so the operator sees the text wrap as the board will.

#include <QDialog>

class KS_PPM_MessagesSB;
class TextRoom;
class QAbstractTextDocumentLayout;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class QToolBar;

class KS_PPM_MessagesSBAdd : public QDialog {
    Q_OBJECT

public:
    // Edits the list's selected row; the list stays disabled until this closes.
    explicit KS_PPM_MessagesSBAdd(KS_PPM_MessagesSB* list);

    void InitToolbar();
    void LoadSelectedMessage();
    void UpdateSimulation();
    bool SaveSignBoardMessage();

    void cmdOk_Click();
    void cmdCancel_Click() { close(); }
    void txtCharPerLine_Validate();
    void txtLines_Validate();

    // The preview's maximum length, in characters.
    int MessageMaxLength() const;

    QToolBar* tlbMenu = nullptr;
    QLabel* Label1 = nullptr;
    QGroupBox* fraSimulation = nullptr;
    QPlainTextEdit* txtMessage = nullptr;
    QLabel* lblSlot = nullptr;
    QComboBox* cmbSlot = nullptr;
    QLabel* lblFontSize = nullptr;
    QComboBox* cmbFontSize = nullptr;
    QLabel* lblDelay = nullptr;
    QComboBox* cmbDelay = nullptr;
    QLabel* lblSeconds = nullptr;
    QLabel* lblAlignment = nullptr;
    QComboBox* cmbEffect = nullptr;
    QLabel* lblCapCodeInc = nullptr;
    QLineEdit* txtCharPerLine = nullptr;
    QSpinBox* updCharPerLine = nullptr;
    QLabel* lblLines = nullptr;
    QLineEdit* txtLines = nullptr;
    QSpinBox* updLines = nullptr;
    QPushButton* cmdOk = nullptr;
    QPushButton* cmdCancel = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Form_Load();
    void validateSizeBox(QLineEdit* box, QSpinBox* upDown);
    void keepSpacesInTheirCells();

    KS_PPM_MessagesSB* list_ = nullptr;
    // The characters the board shows, as many as the record stores at most.
    TextRoom* room_ = nullptr;
    // The preview's layout, which breaks lines by the board's characters per line.
    QAbstractTextDocumentLayout* columns_ = nullptr;
};
