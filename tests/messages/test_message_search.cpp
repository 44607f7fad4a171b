#include "archives/archive_registry.h"
#include "mail/frm_invia_email.h"
#include "messages/frm_newsletter.h"
#include "storage/card_archive.h"
#include "support/test_seams.h"
#include "ui/modal.h"
#include "ui/search_forms.h"
#include "ui/short_date.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>
#include <QtTest>

namespace {

qint32 store(std::initializer_list<std::pair<const char*, QByteArray>> set)
{
    return TestCards::store(ArchiveKind::Messages, set);
}

void deleteCard(qint32 id)
{
    const CardArchive& a = Archives::card(ArchiveKind::Messages);
    a.open()->Execute(a.deleteCard(id));
}

const QString kGone = QStringLiteral("La scheda selezionata non è più presente in archivio.");

} // namespace

class TestMessageSearch : public QObject {
    Q_OBJECT

    std::unique_ptr<TempDataDir> dir_;
    std::unique_ptr<ModelessDialogs> modeless_;
    std::unique_ptr<ScriptedDialogs> dialogs_;
    std::unique_ptr<RecordingPrinter> printer_;
    std::unique_ptr<TfrmNewsletter> editor_;
    std::unique_ptr<TfrmInviaEmail> send_;
    std::unique_ptr<QuickSearchForm> quick_;
    std::unique_ptr<AdvancedSearchForm> advanced_;

    template <typename T> T* in(QWidget* form, const char* name) const
    {
        return form->findChild<T*>(QLatin1String(name));
    }
    QString position() const { return in<QLabel>(editor_.get(), "lblPosizione")->text(); }

    void search(const QString& criterion, const QString& key) { SearchDriver::search(quick_.get(), criterion, key); }

    void doubleClick(SearchFormBase* form, int row) { SearchDriver::doubleClick(form, row); }

    // Opens a search the way its caller does and lists every card.
    SearchFormBase* openFromCaller(const QString& how)
    {
        if (how == "invia") {
            QTest::mouseClick(in<QWidget>(send_.get(), "impMessaggio"), Qt::LeftButton);
            search("Oggetto", " ");
            return quick_.get();
        }
        if (how == "cmdWeb") {
            QTest::mouseClick(in<QWidget>(editor_.get(), "cmdWeb"), Qt::LeftButton);
            in<QPushButton>(advanced_.get(), "cmdTrova")->click();
            return advanced_.get();
        }
        QTest::mouseClick(in<QWidget>(editor_.get(), "cmdTrova"), Qt::LeftButton);
        search("Oggetto", " ");
        return quick_.get();
    }

private slots:
    void init()
    {
        dir_ = std::make_unique<TempDataDir>();
        dialogs_ = std::make_unique<ScriptedDialogs>();
        printer_ = std::make_unique<RecordingPrinter>();
        editor_ = std::make_unique<TfrmNewsletter>();
        send_ = std::make_unique<TfrmInviaEmail>();
        quick_ = std::make_unique<QuickSearchForm>(Archives::get(ArchiveKind::Messages));
        advanced_ = std::make_unique<AdvancedSearchForm>(Archives::get(ArchiveKind::Messages));
        editor_->setSearches(quick_.get(), advanced_.get());
        send_->setMessagePicker(quick_.get());
        modeless_ = std::make_unique<ModelessDialogs>();
        editor_->show();
    }

    void cleanup()
    {
        modeless_.reset();
        advanced_.reset();
        quick_.reset();
        send_.reset();
        editor_.reset();
        printer_.reset();
        dialogs_.reset();
        dir_.reset();
        ShortDate::reset();
    }

    void listLine_data()
    {
        QTest::addColumn<QByteArray>("subject");
        QTest::addColumn<QByteArray>("note");
        QTest::addColumn<QString>("line");
        const QString rest = "  Tipo: " + QStringLiteral("Promozione").leftJustified(20) + "  Mitt. "
            + QStringLiteral("Ufficio vendite").leftJustified(25)
            + "  Data: " + QStringLiteral("01/02/2026").leftJustified(20) + "  Note: ";
        QTest::newRow("long subject cut")
            << QByteArray(50, 'S') << QByteArray("breve") << QString(45, 'S') + rest + "breve";
        QTest::newRow("short subject padded, note whole")
            << QByteArray("  Saldi  ") << "  " + QByteArray(300, 'n') + "\xe8  "
            << "Saldi" + QString(40, ' ') + rest + QString(300, 'n') + QChar(0xe8);
    }

    void listLine()
    {
        QFETCH(QByteArray, subject);
        QFETCH(QByteArray, note);
        QFETCH(QString, line);
        store({ { "varOggetto", subject }, { "varTipologia", " Promozione" }, { "varMittente", "Ufficio vendite" },
            { "varCreazione", "01/02/2026" }, { "varNote", note }, { "varTesto", "corpo" } });
        quick_->show();
        search("Oggetto", " ");
        QCOMPARE(quick_->lines(), QStringList { line });
        QCOMPARE(quick_->lines()[0].indexOf("  Tipo: "), 45);
    }

    void everyFieldSearchesItsColumn()
    {
        const auto criteria = QuickSearchForm::criteriaOf(Archives::get(ArchiveKind::Messages));
        const auto fields = AdvancedSearchForm::fieldsOf(Archives::get(ArchiveKind::Messages));
        QCOMPARE(criteria.size(), 9);
        QCOMPARE(fields.size(), 9);
        for (int i = 0; i < criteria.size(); ++i) {
            QCOMPARE(fields[i].column, criteria[i].column);
            QCOMPARE(fields[i].caption, criteria[i].item);
        }
        for (int i = 0; i < criteria.size(); ++i)
            store({ { criteria[i].column.constData(), "chiave" + QByteArray::number(100 + i) } });
        quick_->show();
        advanced_->show();
        for (int i = 0; i < criteria.size(); ++i) {
            const QString key = QStringLiteral("CHIAVE%1").arg(100 + i);
            search(criteria[i].item, key);
            QCOMPARE(quick_->lines().size(), 1);

            in<QPushButton>(advanced_.get(), "cmdIndietro")->click();
            for (const auto& f : fields)
                in<QLineEdit>(advanced_.get(), f.control.toLatin1().constData())->clear();
            in<QLineEdit>(advanced_.get(), fields[i].control.toLatin1().constData())->setText(key);
            in<QPushButton>(advanced_.get(), "cmdTrova")->click();
            QCOMPARE(advanced_->lines().size(), 1);
        }
    }

    void bodyKeys_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<int>("found");
        QTest::newRow("second line, ascii case") << "PAROLA cercata" << 1;
        QTest::newRow("accented matches itself") << "caffè" << 1;
        QTest::newRow("plain e not accented") << "caffe" << 1;
    }

    void bodyKeys()
    {
        QFETCH(QString, key);
        QFETCH(int, found);
        store({ { "varOggetto", "Uno" }, { "varTesto", "Prima riga\r\nseconda con la parola Cercata" } });
        store({ { "varOggetto", "Due" }, { "varTesto", "Un caff\xe8 offerto" } });
        store({ { "varOggetto", "Tre" }, { "varTesto", "Un caffe offerto" } });
        quick_->show();
        search("Testo", key);
        QCOMPARE(quick_->lines().size(), found);
        QCOMPARE(dialogs_->count(), 0);
    }

    void printTexts_data()
    {
        QTest::addColumn<bool>("advanced");
        QTest::addColumn<int>("rule");
        QTest::newRow("quick") << false << 24;
        QTest::newRow("advanced") << true << 17;
    }

    void printTexts()
    {
        QFETCH(bool, advanced);
        QFETCH(int, rule);
        store({ { "varOggetto", "Uno" } });
        SearchFormBase* form = advanced ? static_cast<SearchFormBase*>(advanced_.get()) : quick_.get();
        form->show();
        if (advanced)
            in<QPushButton>(form, "cmdTrova")->click();
        else
            search("Oggetto", "uno");
        in<QPushButton>(form, advanced ? "cmdStampa" : "btnStampa")->click();
        QCOMPARE(dialogs_->last().caption, QStringLiteral("Conferma operazione di stampa"));
        QCOMPARE(dialogs_->last().text, QStringLiteral("Si vuole stampare il presente elenco di voci?"));
        QCOMPARE(dialogs_->last().questionIcon, advanced);
        QCOMPARE(printer_->requests.size(), 1);
        QCOMPARE(printer_->requests[0].title, QStringLiteral("Archivio messaggi"));
        QCOMPARE(printer_->requests[0].rule, QString(rule, '-'));
        QCOMPARE(printer_->requests[0].lines, form->lines());
    }

    void editorLoadsTheChosenCardAndSavesIt_data()
    {
        QTest::addColumn<QString>("button");
        QTest::newRow("quick") << "cmdTrova";
        QTest::newRow("advanced") << "cmdWeb";
    }

    void editorLoadsTheChosenCardAndSavesIt()
    {
        QFETCH(QString, button);
        // Equal list lines: the cards differ only in what the list leaves out.
        const QList<std::pair<const char*, QByteArray>> same
            = { { "varOggetto", "Saldi" }, { "varTipologia", "Promo" }, { "varEmailMitt", "m@x.it" } };
        store({ same[0], same[1], same[2], { "varEmail", "a@x.it" }, { "varTesto", "primo" } });
        const qint32 id = store({ same[0], same[1], same[2], { "varEmail", "b@x.it" }, { "varTesto", "secondo" } });
        SearchFormBase* form = openFromCaller(button);
        QCOMPARE(form->mode(), QStringLiteral("newsletter"));
        QCOMPARE(form->lines().size(), 2);
        QCOMPARE(form->lines()[0], form->lines()[1]);
        doubleClick(form, 1);
        QVERIFY(!form->isVisible());
        QCOMPARE(position(), QString::number(id));
        QCOMPARE(in<QPlainTextEdit>(editor_.get(), "txtTesto")->toPlainText(), QStringLiteral("secondo"));
        QCOMPARE(in<QPlainTextEdit>(editor_.get(), "txtEmail")->toPlainText(), QStringLiteral("b@x.it"));

        in<QLineEdit>(editor_.get(), "txtOggetto")->setText("Saldi estivi");
        in<QToolButton>(editor_.get(), "cmdSalva")->click();
        QCOMPARE(dialogs_->last().text,
            QStringLiteral("Le modifiche apportate alla scheda n. %1 sono state inserite in archivio.").arg(id));
        QCOMPARE(TestCards::stored(ArchiveKind::Messages, id, "varOggetto"), QByteArray("Saldi estivi"));
        QCOMPARE(TestCards::count(ArchiveKind::Messages), 2);
    }

    void sendFormTakesTheStoredValues()
    {
        store({ { "varMittente", " Ufficio " }, { "varEmailMitt", " m@x.it" }, { "varEmail", "a@x.it,b@x.it " },
            { "varOggetto", "  Saldi" }, { "varTesto", "Buongiorno,\r\n\r\nsaldi  " },
            { "varAllegato", "/tmp/listino.pdf " }, { "varNote", "nota" } });
        send_->show();
        in<QPlainTextEdit>(send_.get(), "txtDestinatari")->setPlainText("Anna,Bruno");
        SearchFormBase* form = openFromCaller("invia");
        QCOMPARE(form->mode(), QStringLiteral("invia"));
        doubleClick(form, 0);
        QVERIFY(!form->isVisible());
        QCOMPARE(send_->fieldText("txtMittente"), QStringLiteral(" Ufficio "));
        QCOMPARE(send_->fieldText("txtEmailMitt"), QStringLiteral(" m@x.it"));
        QCOMPARE(send_->fieldText("txtEmail"), QStringLiteral("a@x.it,b@x.it "));
        QCOMPARE(send_->fieldText("txtOggetto"), QStringLiteral("  Saldi"));
        QCOMPARE(in<QPlainTextEdit>(send_.get(), "txtTesto")->blockCount(), 3);
        QCOMPARE(send_->fieldText("txtTesto"), QStringLiteral("Buongiorno,\r\n\r\nsaldi  "));
        QCOMPARE(send_->fieldText("txtAllegato"), QStringLiteral("/tmp/listino.pdf "));
        QCOMPARE(send_->fieldText("txtDestinatari"), QStringLiteral("Anna,Bruno"));
    }

    void cardDeletedBeforeTheChoice_data()
    {
        QTest::addColumn<QString>("caller");
        QTest::newRow("editor, quick") << "cmdTrova";
        QTest::newRow("editor, advanced") << "cmdWeb";
        QTest::newRow("send form") << "invia";
    }

    void cardDeletedBeforeTheChoice()
    {
        QFETCH(QString, caller);
        const qint32 id = store({ { "varOggetto", "Saldi" }, { "varEmailMitt", "m@x.it" }, { "varTesto", "t" } });
        send_->show();
        send_->setFieldText("txtOggetto", "mio");
        SearchFormBase* form = openFromCaller(caller);
        QCOMPARE(form->lines().size(), 1);
        deleteCard(id);
        dialogs_->clear();
        doubleClick(form, 0);
        QCOMPARE(dialogs_->kinds(), QStringList { "message" });
        QCOMPARE(dialogs_->last().text, kGone);
        QCOMPARE(position(), QString());
        QCOMPARE(send_->fieldText("txtOggetto"), QStringLiteral("mio"));
        QCOMPARE(send_->fieldText("txtEmailMitt"), QString());
    }
};

QTEST_MAIN(TestMessageSearch)
#include "test_message_search.moc"
