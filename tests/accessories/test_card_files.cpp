// The attached files, folder and compaction tools of every card editor,
// driven through the editor's toolbar as a user would.
#include "accessories/card_files.h"
#include "storage/card_archive.h"
#include "storage/win1252.h"
#include "support/test_archives.h"
#include "support/test_seams.h"
#include "ui/card_editor.h"
#include "ui/modal.h"

#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include <functional>
#include <set>

namespace {

using Values = QList<QPair<QString, QString>>; // control, text

// Adds the column "archive" and one row per archive and case.
void archiveRows(const QStringList& cases)
{
    QStringList named;
    for (const QString& c : cases)
        if (!c.isEmpty())
            named << c;
    TestArchives::addRows(named);
}

const QStringList kFileLabels = { "lblFile01", "lblFile02", "lblFile03", "lblDesc01", "lblDesc02", "lblDesc03" };

} // namespace

class TestCardFiles : public QObject {
    Q_OBJECT

    std::unique_ptr<TempDataDir> dir_;
    std::unique_ptr<ScriptedDialogs> dialogs_;
    std::unique_ptr<RecordingDesktop> desktop_;
    std::unique_ptr<CardEditor> editor_;
    const TestArchive* row_ = nullptr;
    // What the test does with a form while it is shown modally.
    std::function<void(QDialog*)> script_;
    QStringList shownForms_;

    const CardArchive& archive() const { return editor_->archive(); }
    QString position() const { return editor_->findChild<QLabel*>("lblPosizione")->text(); }
    void release(const char* name)
    {
        QTest::mouseClick(editor_->findChild<QWidget*>(QLatin1String(name)), Qt::LeftButton);
    }
    void click(const char* name) { editor_->findChild<QToolButton*>(QLatin1String(name))->click(); }

    // Stores a card with the required values and these; its number.
    qint32 storeCard(const Values& values = {})
    {
        QList<QByteArray> v(archive().valueCount());
        for (const auto& [control, text] : row_->requiredValues() + values)
            v[editor_->definition().indexOf(control)] = Cp1252::encode(text);
        auto db = archive().open();
        db->Execute(archive().insert(v));
        return qint32(db->LastInsertedRowId());
    }
    QByteArray stored(qint32 id, const char* column) const { return TestCards::stored(archive().kind(), id, column); }
    QString label(const QString& name) const { return editor_->fieldText(name); }

    void makeEditor()
    {
        row_ = &TestArchives::fetch();
        editor_.reset(row_->makeEditor());
        Accessories::addCardFiles(*editor_);
        QVERIFY(showActive(editor_.get()));
    }

    static QLineEdit* in(QDialog* d, const QString& name) { return d->findChild<QLineEdit*>(name); }
    static QPushButton* button(QDialog* d, const QString& name) { return d->findChild<QPushButton*>(name); }

private slots:
    void init()
    {
        dir_ = std::make_unique<TempDataDir>();
        dialogs_ = std::make_unique<ScriptedDialogs>();
        desktop_ = std::make_unique<RecordingDesktop>();
        shownForms_.clear();
        script_ = nullptr;
        Modal::install([this](QDialog* d) {
            shownForms_ << d->objectName();
            if (!showActive(d))
                return int(QDialog::Rejected);
            QApplication::setActiveWindow(d);
            if (script_)
                script_(d);
            const int result = d->result();
            d->hide();
            return result;
        });
    }

    void cleanup()
    {
        Modal::install({});
        editor_.reset();
        desktop_.reset();
        dialogs_.reset();
        dir_.reset();
    }

    void openShowsTheCardsValues_data() { archiveRows({ "slot 2 set", "no files" }); }
    void openShowsTheCardsValues()
    {
        makeEditor();
        const bool withFile = QString::fromLatin1(QTest::currentDataTag()).endsWith("set");
        storeCard(withFile ? Values { { "lblFile02", " /srv/listino.pdf " }, { "lblDesc02", "Listino" },
                      { "lblDesc03", "solo testo" } }
                           : Values {});
        click("imgPrimo");
        QStringList texts;
        QList<bool> apri;
        script_ = [&](QDialog* d) {
            QCOMPARE(d->windowTitle(), QStringLiteral(" File allegati"));
            QCOMPARE(d->size(), QSize(616, 470));
            for (const char* n : { "txtFile01", "txtFile02", "txtFile03", "txtDesc01", "txtDesc02", "txtDesc03" })
                texts << in(d, n)->text();
            for (const char* n : { "cmdApri01", "cmdApri02", "cmdApri03" })
                apri << button(d, n)->isEnabled();
        };
        release("cmdAllega");
        QCOMPARE(shownForms_, QStringList { row_->definition->filesForm });
        if (withFile) {
            QCOMPARE(texts, (QStringList { "", "/srv/listino.pdf", "", "", "Listino", "solo testo" }));
            QCOMPARE(apri, (QList<bool> { false, true, false }));
        } else {
            QCOMPARE(texts, QStringList(6));
            QCOMPARE(apri, (QList<bool> { false, false, false }));
        }
        QCOMPARE(editor_->findChildren<QDialog*>().size(), 0); // destroyed after use
        QCOMPARE(dialogs_->count(), 0);
    }

    void chosenFileIsStoredBySave_data() { archiveRows({ QString() }); }
    void chosenFileIsStoredBySave()
    {
        makeEditor();
        const qint32 id = storeCard({ { "lblFile01", "/srv/vecchio.pdf" } });
        click("imgPrimo");
        QTemporaryDir files;
        const QString chosen = files.filePath(QStringLiteral("Offerta è 2024.pdf"));
        desktop_->nextFileName = chosen;
        script_ = [&](QDialog* d) {
            button(d, "cmdSfoglia02")->click();
            in(d, "txtDesc02")->setText("  Offerta  ");
            button(d, "cmdApplica")->click();
        };
        release("cmdAllega");
        QCOMPARE(desktop_->lastCaption, QStringLiteral("Selezionare un file e premere Apri:"));
        QCOMPARE(desktop_->lastFilter, QStringLiteral("Tutti i file (*)"));
        QCOMPARE(label("lblFile01"), QStringLiteral("/srv/vecchio.pdf"));
        QCOMPARE(label("lblFile02"), chosen);
        QCOMPARE(label("lblDesc02"), QStringLiteral("Offerta"));
        QCOMPARE(stored(id, "varFile02"), QByteArray()); // nothing stored before Save

        click("cmdSalva");
        QCOMPARE(dialogs_->kinds(), QStringList { "message" });
        QCOMPARE(stored(id, "varFile02"), Cp1252::encode(chosen));
        QCOMPARE(stored(id, "varDesc02"), QByteArray("Offerta"));
        QCOMPARE(stored(id, "varFile01"), QByteArray("/srv/vecchio.pdf"));

        desktop_->nextDirectory = files.path();
        script_ = [&](QDialog* d) {
            button(d, "cmdSfoglia01")->click();
            in(d, "txtDesc01")->setText("Pratiche");
            button(d, "cmdApplica")->click();
        };
        release("cmdAssocia");
        QCOMPARE(shownForms_.last(), row_->definition->folderForm);
        QCOMPARE(desktop_->lastCaption, QStringLiteral("Selezionare una cartella:"));
        QVERIFY(!desktop_->lastStart.isEmpty());
        QVERIFY(desktop_->lastStart != QDir::currentPath());
        click("cmdSalva");
        QCOMPARE(stored(id, "varCartella"), Cp1252::encode(files.path()));
        QCOMPARE(stored(id, "varCartellaDesc"), QByteArray("Pratiche"));

        click("cmdNuovo");
        click("imgPrimo"); // reloaded: the form shows what was stored
        QString shown;
        script_ = [&](QDialog* d) { shown = in(d, "txtFile02")->text(); };
        release("cmdAllega");
        QCOMPARE(shown, chosen);
    }

    void closingHandsNothingBack_data() { archiveRows({ "close box", "dialog fails" }); }
    void closingHandsNothingBack()
    {
        makeEditor();
        storeCard({ { "lblFile01", "/srv/a.pdf" }, { "lblDesc01", "A" }, { "lblCartella", "/srv" } });
        click("imgPrimo");
        const QString tag = QString::fromLatin1(QTest::currentDataTag()).section('/', 1);
        desktop_->nextFileName = tag == "close box" ? "/srv/b.pdf" : "";
        desktop_->nextDirectory = tag == "close box" ? "/tmp" : "";
        desktop_->failDialogs = tag == "dialog fails";
        QStringList paths;
        script_ = [&](QDialog* d) {
            button(d, "cmdSfoglia01")->click();
            in(d, "txtDesc01")->setText("altro");
            paths << in(d, "txtFile01")->text();
            if (tag == "close box")
                d->close();
            else
                button(d, "cmdApplica")->click();
        };
        release("cmdAllega");
        release("cmdAssocia");
        if (tag == "close box") {
            QCOMPARE(paths, (QStringList { "/srv/b.pdf", "/tmp" }));
            QCOMPARE(label("lblDesc01"), QStringLiteral("A"));
        } else {
            QCOMPARE(paths, (QStringList { "/srv/a.pdf", "/srv" })); // the previous value stays
            QCOMPARE(label("lblDesc01"), QStringLiteral("altro"));
        }
        QCOMPARE(label("lblFile01"), QStringLiteral("/srv/a.pdf"));
        QCOMPARE(label("lblCartella"), QStringLiteral("/srv"));
        QCOMPARE(dialogs_->count(), 0); // failures are silent
    }

    void backspaceEmptiesThePath_data() { archiveRows({ QString() }); }
    void backspaceEmptiesThePath()
    {
        makeEditor();
        storeCard({ { "lblFile03", "/srv/c.pdf" }, { "lblDesc03", "C" }, { "lblCartella", "/srv" },
            { "lblCartellaDesc", "D" } });
        click("imgPrimo");
        bool apriAfter = true;
        script_ = [&](QDialog* d) {
            in(d, "txtFile03")->setFocus();
            in(d, "txtFile03")->setCursorPosition(2);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backspace);
            apriAfter = button(d, "cmdApri03")->isEnabled();
            button(d, "cmdApplica")->click();
        };
        release("cmdAllega");
        QVERIFY(!apriAfter);
        QCOMPARE(label("lblFile03"), QString());
        QCOMPARE(label("lblDesc03"), QStringLiteral("C"));
        script_ = [&](QDialog* d) {
            in(d, "txtFile01")->setFocus();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backspace);
            apriAfter = button(d, "cmdApri01")->isEnabled();
            button(d, "cmdApplica")->click();
        };
        release("cmdAssocia");
        QVERIFY(!apriAfter);
        QCOMPARE(label("lblCartella"), QString());
        QCOMPARE(label("lblCartellaDesc"), QStringLiteral("D"));
    }

    // ---------------------------------------------------------------------
    // Compaction

    void compactionNoLeavesTheFile_data() { archiveRows({ QString() }); }
    void compactionNoLeavesTheFile()
    {
        makeEditor();
        storeCard();
        QFile file(dir_->file(archive().fileName()));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray before = file.readAll();
        file.close();
        dialogs_->answers = { false };
        release("cmdOttimizza");
        QCOMPARE(dialogs_->kinds(), QStringList { "confirm" });
        QCOMPARE(dialogs_->last().caption, QStringLiteral("Conferma ottimizzazione archivio"));
        QCOMPARE(dialogs_->last().text,
            QStringLiteral("Questa funzione provvederà a rimuovere lo spazio inutilizzato dall'archivio corrente per "
                           "ottimizzare le sue dimensioni.\n\nSi consiglia di effettuare una copia di sicurezza "
                           "dell'archivio prima di procedere.\n\nSi vuole ottimizzare l'archivio corrente?"));
        QVERIFY(!dialogs_->last().questionIcon);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), before);
    }

    void compactionShrinksAndKeepsTheCard_data() { archiveRows({ QString() }); }
    void compactionShrinksAndKeepsTheCard()
    {
        makeEditor();
        const QString big(3000, QLatin1Char('x'));
        QList<qint32> ids;
        for (int i = 0; i < 120; ++i)
            ids << storeCard({ { "lblDesc01", big } });
        {
            auto db = archive().open();
            for (int i = 0; i < 100; ++i)
                db->Execute(archive().deleteCard(ids.takeFirst()));
        }
        const std::set<qint32> kept(ids.begin(), ids.end());
        const QString path = dir_->file(archive().fileName());
        const qint64 before = QFileInfo(path).size();
        QVERIFY(editor_->loadCardById(ids[3]));
        editor_->setFieldText(row_->requiredValues().first().first, "non salvato");

        release("cmdOttimizza");
        QCOMPARE(dialogs_->kinds(), (QStringList { "confirm", "information" }));
        QCOMPARE(dialogs_->last().caption, QStringLiteral("Operazione terminata"));
        QCOMPARE(dialogs_->last().text, QStringLiteral("Ottimizzazione dell'archivio completata con successo."));
        QVERIFY2(QFileInfo(path).size() < before / 2, qPrintable(QString::number(QFileInfo(path).size())));
        QCOMPARE(position(), QString::number(ids[3]));
        QCOMPARE(editor_->fieldText(row_->requiredValues().first().first), QStringLiteral("non salvato"));
        std::set<qint32> after;
        auto all = archive().open()->Query(archive().all());
        for (all->First(); !all->AtEnd(); all->Next())
            after.insert(qint32(all->IntegerAt(all->ColumnIndex("ID"))));
        QCOMPARE(after, kept);
        click("imgAvanti"); // the editor goes on with its connection
        QCOMPARE(position(), QString::number(ids[4]));
        auto temp = editor_->connection().Query("PRAGMA temp_store;");
        temp->First();
        QCOMPARE(temp->IntegerAt(0), qint64(2)); // MEMORY again
    }

    void compactionAfterAFailedSave_data() { archiveRows({ QString() }); }
    void compactionAfterAFailedSave()
    {
        makeEditor();
        storeCard();
        archive().open()->Execute("CREATE TRIGGER refuse BEFORE INSERT ON " + archive().table()
            + " WHEN NEW.varNote = 'boom' BEGIN SELECT RAISE(ABORT, 'refused'); END;");
        click("cmdNuovo");
        for (const auto& [control, text] : row_->requiredValues())
            editor_->setFieldText(control, text);
        editor_->setFieldText("txtNote", "boom");
        click("cmdSalva");
        QCOMPARE(dialogs_->kinds(), QStringList { "error" });
        QVERIFY(editor_->connection().InTransaction());
        release("cmdOttimizza");
        QCOMPARE(dialogs_->kinds(), (QStringList { "error", "confirm", "information" }));
        QCOMPARE(editor_->fieldText("txtNote"), QStringLiteral("boom")); // the unsaved card stays
    }

    void readOnlyArchiveIsReported_data() { archiveRows({ QString() }); }
    void readOnlyArchiveIsReported()
    {
        makeEditor();
        storeCard();
        const QString path = dir_->file(archive().fileName());
        QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
        // The super-user writes through permissions; an immutable file stops it.
        bool immutable = false;
        if (QFile probe(path); probe.open(QIODevice::ReadWrite)) {
            probe.close();
            immutable = QProcess::execute("chattr", { "+i", path }) == 0;
            if (!immutable)
                QSKIP("cannot make a file read-only for this user");
        }
        release("cmdOttimizza");
        if (immutable)
            QProcess::execute("chattr", { "-i", path });
        QCOMPARE(dialogs_->kinds(), (QStringList { "confirm", "error" }));
        QVERIFY2(dialogs_->last().text.contains("readonly database"), qPrintable(dialogs_->last().text));
        QCOMPARE(QApplication::overrideCursor(), nullptr);
        click("imgPrimo"); // the editor still reads its archive
        QVERIFY(!position().isEmpty());
    }
};

QTEST_MAIN(TestCardFiles)
#include "test_card_files.moc"
