#pragma once

#include "ui/card_editor.h"

#include <functional>

class CardOptOut;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QToolButton;
struct EditorChromeParts;

// The contacts archive editor.
class TfrmRubrica : public CardEditor {
    Q_OBJECT
public:
    explicit TfrmRubrica(QWidget* parent = nullptr);

    // How the toolbar's opt-out button opens the list (the start-up's).
    void setOptOutWindow(std::function<void(QWidget* parent)> open);

public slots:
    void imgEmailMouseUp();
    void imgCodFiscMouseUp();
    void imgIvaMouseUp();
    void imgIbanMouseUp();
    void cmdImportaContattiMouseUp();
    void cmdEsportaContattiMouseUp();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildFields(class QBoxLayout* body, class HintBar* hints);
    void addImportButton();
    void addExportButton();
    void upperCaseOnChange(QLineEdit* edit);
    static bool insertsText(const class QKeyEvent* key);

    QComboBox* txtProv_ = nullptr;
    QLineEdit* txtIva_ = nullptr;
    CardOptOut* optOut_ = nullptr;
};

extern TfrmRubrica* frmRubrica;
