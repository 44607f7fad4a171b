#include "support/test_seams.h"

#include "storage/app_paths.h"
#include "ui/modal.h"
#include "ui/search_forms.h"

#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QtTest>
#include <QTest>

#include <QTemporaryDir>

#include <stdexcept>

ScriptedDialogs::ScriptedDialogs()
    : previous_(&Dialogs::get())
{
    Dialogs::install(this);
}

ScriptedDialogs::~ScriptedDialogs() { Dialogs::install(nullptr); }

void ScriptedDialogs::message(const QString& text) { shown.append({ "message", QString(), text }); }
void ScriptedDialogs::warning(const QString& caption, const QString& text)
{
    shown.append({ "warning", caption, text });
}
void ScriptedDialogs::information(const QString& caption, const QString& text)
{
    shown.append({ "information", caption, text });
}
bool ScriptedDialogs::confirm(const QString& caption, const QString& text, bool questionIcon)
{
    shown.append({ "confirm", caption, text, questionIcon });
    return answers.isEmpty() ? true : answers.takeFirst();
}

void ScriptedDialogs::error(const QString& text, const QString& details)
{
    shown.append({ "error", QString(), text, false, details });
}

void ScriptedDialogs::warningDetailed(const QString& caption, const QString& text, const QString& details)
{
    shown.append({ "warning", caption, text, false, details });
}

bool ScriptedDialogs::confirmDetailed(const QString& caption, const QString& text, const QString& details)
{
    shown.append({ "confirm", caption, text, true, details });
    return answers.isEmpty() ? true : answers.takeFirst();
}

QStringList ScriptedDialogs::kinds() const
{
    QStringList k;
    for (const auto& s : shown)
        k << s.kind;
    return k;
}

RecordingDesktop::RecordingDesktop() { Desktop::install(this); }
RecordingDesktop::~RecordingDesktop() { Desktop::install(nullptr); }

bool RecordingDesktop::open(const QString& target)
{
    opened << target;
    return openResult;
}

QString RecordingDesktop::openFileName(QWidget*, const QString& caption, const QString& start, const QString& filter)
{
    ++fileDialogs;
    lastCaption = caption;
    lastStart = start;
    lastFilter = filter;
    if (failDialogs)
        throw std::runtime_error("file dialog failed");
    return nextFileName;
}

QString RecordingDesktop::existingDirectory(QWidget*, const QString& caption, const QString& start)
{
    ++folderDialogs;
    lastCaption = caption;
    lastStart = start;
    lastFilter.clear();
    if (failDialogs)
        throw std::runtime_error("folder dialog failed");
    return nextDirectory;
}

struct TempDataDir::Impl {
    QTemporaryDir dir;
};

TempDataDir::TempDataDir()
    : d(new Impl)
{
    AppPaths::setDataDir(d->dir.path());
}

TempDataDir::~TempDataDir()
{
    AppPaths::setDataDir(QString());
    delete d;
}

QString TempDataDir::path() const { return d->dir.path(); }
QString TempDataDir::file(const QString& name) const { return d->dir.filePath(name); }

struct TempHome::Impl {
    QTemporaryDir dir;
    QByteArray home = qgetenv("HOME");
    QByteArray config = qgetenv("XDG_CONFIG_HOME");
};

TempHome::TempHome()
    : d(new Impl)
{
    qputenv("HOME", QFile::encodeName(d->dir.path()));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(d->dir.filePath(QStringLiteral(".config"))));
    QDir(d->dir.path()).mkpath(QStringLiteral("Documents"));
}

TempHome::~TempHome()
{
    qputenv("HOME", d->home);
    qputenv("XDG_CONFIG_HOME", d->config);
    delete d;
}

QString TempHome::documents() const { return d->dir.filePath(QStringLiteral("Documents")); }

RecordingPrinter::RecordingPrinter() { Printing::install(this); }
RecordingPrinter::~RecordingPrinter() { Printing::install(nullptr); }

qint32 TestCards::store(ArchiveKind kind, std::initializer_list<std::pair<const char*, QByteArray>> values)
{
    const CardArchive& a = Archives::card(kind);
    QList<QByteArray> v(a.valueCount());
    for (const auto& [column, value] : values)
        v[a.valueColumns().indexOf(column)] = value;
    auto db = a.open();
    db->Execute(a.insert(v));
    return qint32(db->LastInsertedRowId());
}

QByteArray TestCards::stored(ArchiveKind kind, qint32 id, const char* column)
{
    const CardArchive& a = Archives::card(kind);
    auto t = a.open()->Query(a.byId(id));
    return t->RowCount() ? t->BlobTextAt(t->ColumnIndex(QLatin1String(column))) : QByteArray("<none>");
}

int TestCards::count(ArchiveKind kind)
{
    const CardArchive& a = Archives::card(kind);
    return int(a.open()->Query(a.all())->RowCount());
}

ModelessDialogs::ModelessDialogs()
{
    Modal::install([](QDialog* d) {
        d->show();
        return 0;
    });
}

ModelessDialogs::~ModelessDialogs() { Modal::install({}); }

bool showActive(QWidget* window)
{
    window->show();
    window->activateWindow();
    return QTest::qWaitForWindowActive(window);
}

void SearchDriver::search(QuickSearchForm* form, const QString& criterion, const QString& key)
{
    form->findChild<QComboBox*>(QStringLiteral("cboCriterio"))->setCurrentText(criterion);
    form->findChild<QLineEdit*>(QStringLiteral("txtCriterio"))->setText(key);
    form->findChild<QPushButton*>(QStringLiteral("btnPopola"))->click();
}

void SearchDriver::doubleClick(SearchFormBase* form, int line)
{
    auto* list = form->findChild<QListView*>(QStringLiteral("lstRecords"));
    form->selectLine(line);
    const QPoint at = list->visualRect(list->model()->index(line, 0)).center();
    // The view acts on a double-click only after a first click.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
}
