#pragma once

#include "archives/archive_registry.h"
#include "ui/desktop.h"
#include "ui/dialogs.h"
#include "ui/print_list.h"

#include <QList>
#include <QString>
#include <QStringList>

// Records every message box and answers confirmations from a script, so no
// test ever waits on a real modal dialog. Installs itself for its lifetime.
class ScriptedDialogs final : public IDialogs {
public:
    struct Shown {
        QString kind; // "message", "warning", "information", "confirm", "error"
        QString caption;
        QString text;
        bool questionIcon = false;
        QString details {}; // the list behind the box's "details" button
    };

    ScriptedDialogs();
    ~ScriptedDialogs() override;

    void message(const QString& text) override;
    void warning(const QString& caption, const QString& text) override;
    void information(const QString& caption, const QString& text) override;
    bool confirm(const QString& caption, const QString& text, bool questionIcon) override;
    void error(const QString& text, const QString& details) override;
    void warningDetailed(const QString& caption, const QString& text, const QString& details) override;
    bool confirmDetailed(const QString& caption, const QString& text, const QString& details) override;

    // Answers for the next confirmations, in order; Yes once they run out.
    QList<bool> answers;
    QList<Shown> shown;

    void clear() { shown.clear(); }
    int count() const { return int(shown.size()); }
    Shown last() const { return shown.isEmpty() ? Shown {} : shown.last(); }
    QStringList kinds() const;

private:
    IDialogs* previous_ = nullptr;
};

// Records shell calls and answers file and folder dialogs from fields.
class RecordingDesktop final : public IDesktop {
public:
    RecordingDesktop();
    ~RecordingDesktop() override;

    bool open(const QString& target) override;
    QString openFileName(QWidget* parent, const QString& caption, const QString& start, const QString& filter) override;
    QString existingDirectory(QWidget* parent, const QString& caption, const QString& start) override;

    QStringList opened;
    bool openResult = true;
    QString nextFileName;
    QString nextDirectory;
    int fileDialogs = 0;
    int folderDialogs = 0;
    // What the last file or folder dialog was given.
    QString lastCaption;
    QString lastStart;
    QString lastFilter;
    // The dialogs throw instead of answering (a failing dialog).
    bool failDialogs = false;
};

// A fresh temporary folder that stands in for the folder beside the
// executable while it lives.
class TempDataDir {
public:
    TempDataDir();
    ~TempDataDir();
    QString path() const;
    QString file(const QString& name) const;

private:
    struct Impl;
    Impl* d;
};

// A fresh home folder with an empty Documents folder, where the exports
// land, for as long as it lives (HOME and XDG_CONFIG_HOME point at it).
class TempHome {
public:
    TempHome();
    ~TempHome();
    TempHome(const TempHome&) = delete;
    TempHome& operator=(const TempHome&) = delete;
    QString documents() const;

private:
    struct Impl;
    Impl* d;
};

// Records print requests instead of printing.
class RecordingPrinter final : public IPrinterService {
public:
    RecordingPrinter();
    ~RecordingPrinter() override;
    void print(const PrintRequest& request) override { requests.append(request); }
    QList<PrintRequest> requests;
};

// Cards written and read straight through the archive, behind the forms.
namespace TestCards {
// Stores a card with the given columns set (the others empty); its number.
qint32 store(ArchiveKind kind, std::initializer_list<std::pair<const char*, QByteArray>> values);
// A column of a stored card; "<none>" when the card does not exist.
QByteArray stored(ArchiveKind kind, qint32 id, const char* column);
int count(ArchiveKind kind);
} // namespace TestCards

// While it lives, modal showings become plain ones, so the test drives the
// form that would otherwise block in exec().
class ModelessDialogs {
public:
    ModelessDialogs();
    ~ModelessDialogs();
    ModelessDialogs(const ModelessDialogs&) = delete;
    ModelessDialogs& operator=(const ModelessDialogs&) = delete;
};

// Shows a window and waits until it is active, as focus checks need.
bool showActive(QWidget* window);

class QuickSearchForm;
class SearchFormBase;

// A search form driven as a user does it.
namespace SearchDriver {
// Chooses the criterion, types the key and presses "Cerca in archivio".
void search(QuickSearchForm* form, const QString& criterion, const QString& key);
// Selects the list line and double-clicks it.
void doubleClick(SearchFormBase* form, int line);
} // namespace SearchDriver
