#include "archives/archive_registry.h"
#include "groups/frm_gruppi.h"
#include "mail/frm_invia_email.h"
#include "messages/frm_newsletter.h"
#include "storage/card_archive.h"
#include "support/test_seams.h"
#include "ui/search_forms.h"
#include "ui/short_date.h"

#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>
#include <QtTest>

namespace {

qint32 storeGroup(std::initializer_list<std::pair<const char*, QByteArray>> set)
{
    return TestCards::store(ArchiveKind::Groups, set);
}

QByteArray stored(qint32 id, const char* column) { return TestCards::stored(ArchiveKind::Groups, id, column); }

} // namespace

// What is particular to groups; the shared card life cycle and search
// behaviour are tested once for every archive elsewhere.
class TestFrmGruppi : public QObject {
    Q_OBJECT

    std::unique_ptr<TempDataDir> dir_;
    std::unique_ptr<ModelessDialogs> modeless_;
    std::unique_ptr<ScriptedDialogs> dialogs_;
    std::unique_ptr<RecordingDesktop> desktop_;
    std::unique_ptr<TfrmGruppi> form_;
    std::unique_ptr<QuickSearchForm> contacts_;
    std::unique_ptr<QuickSearchForm> quick_;
    std::unique_ptr<AdvancedSearchForm> advanced_;

    template <typename T = QWidget> T* in(QWidget* form, const char* name) const
    {
        return form->findChild<T*>(QLatin1String(name));
    }
    QLineEdit* edit(const char* name) const { return in<QLineEdit>(form_.get(), name); }
    QPlainTextEdit* memo(const char* name) const { return in<QPlainTextEdit>(form_.get(), name); }
    QString position() const { return in<QLabel>(form_.get(), "lblPosizione")->text(); }
    void release(QWidget* form, const char* name) { QTest::mouseClick(in(form, name), Qt::LeftButton); }
    void save() { in<QToolButton>(form_.get(), "cmdSalva")->click(); }

    // Searches the quick search shown and double-clicks the given line.
    void pick(QuickSearchForm* form, const QString& criterion, const QString& key, int line = 0)
    {
        QVERIFY(form->isVisible());
        SearchDriver::search(form, criterion, key);
        SearchDriver::doubleClick(form, line);
        QVERIFY(!form->isVisible());
    }

private slots:
    void init()
    {
        dir_ = std::make_unique<TempDataDir>();
        dialogs_ = std::make_unique<ScriptedDialogs>();
        desktop_ = std::make_unique<RecordingDesktop>();
        form_ = std::make_unique<TfrmGruppi>();
        contacts_ = std::make_unique<QuickSearchForm>(Archives::get(ArchiveKind::Contacts));
        quick_ = std::make_unique<QuickSearchForm>(Archives::get(ArchiveKind::Groups));
        advanced_ = std::make_unique<AdvancedSearchForm>(Archives::get(ArchiveKind::Groups));
        form_->setSearches(quick_.get(), advanced_.get());
        form_->setContactPicker(contacts_.get());
        modeless_ = std::make_unique<ModelessDialogs>();
        QVERIFY(showActive(form_.get()));
    }

    void cleanup()
    {
        modeless_.reset();
        advanced_.reset();
        quick_.reset();
        contacts_.reset();
        form_.reset();
        desktop_.reset();
        dialogs_.reset();
        dir_.reset();
        ShortDate::reset();
    }

    void requiredFields_data()
    {
        QTest::addColumn<bool>("storedCard");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("addresses");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("focus");
        const QString insert = QStringLiteral("Salvataggio dati non applicabile");
        const QString update = QStringLiteral("Aggiornamento dati non applicabile");
        QTest::newRow("insert, no name (tested first)")
            << false << " " << "" << insert
            << "Attenzione: per salvare la scheda corrente è necessario indicare il nome del gruppo." << "txtGruppo";
        QTest::newRow("insert, no address")
            << false << "Clienti" << " \t " << insert
            << "Attenzione: per salvare la scheda corrente è necessario indicare almeno un indirizzo e-mail."
            << "txtEmail";
        QTest::newRow("update, no name")
            << true << "" << "a@x.it" << update
            << "Attenzione: per salvare le modifiche alla scheda corrente è necessario indicare il nome del gruppo."
            << "txtGruppo";
        QTest::newRow("update, no address") << true << "Clienti" << "" << update
                                            << "Attenzione: per salvare le modifiche alla scheda corrente è "
                                               "necessario indicare almeno un indirizzo e-mail."
                                            << "txtEmail";
    }

    void requiredFields()
    {
        QFETCH(bool, storedCard);
        QFETCH(QString, name);
        QFETCH(QString, addresses);
        QFETCH(QString, caption);
        QFETCH(QString, text);
        QFETCH(QString, focus);
        if (storedCard) {
            storeGroup({ { "varGruppo", "Vecchio" }, { "varEmail", "v@x.it" } });
            in<QToolButton>(form_.get(), "imgPrimo")->click();
        }
        edit("txtGruppo")->setText(name);
        memo("txtEmail")->setPlainText(addresses);
        save();
        QCOMPARE(dialogs_->kinds(), QStringList { "warning" });
        QCOMPARE(dialogs_->last().caption, caption);
        QCOMPARE(dialogs_->last().text, text);
        QCOMPARE(QApplication::focusWidget()->objectName(), focus);
        QCOMPARE(TestCards::count(ArchiveKind::Groups), storedCard ? 1 : 0);
    }

    void hiddenLabelsSurviveSaveAndReload()
    {
        const qint32 id = storeGroup({ { "varGruppo", "Soci" }, { "varEmail", "a@x.it" },
            { "varFile02", "/home/u/statuto.pdf" }, { "varDesc02", "Statuto" }, { "varCartella", "/home/u/soci" },
            { "varCartellaDesc", "Documenti" } });
        in<QToolButton>(form_.get(), "imgPrimo")->click();
        QCOMPARE(in<QLabel>(form_.get(), "lblFile02")->text(), QStringLiteral("/home/u/statuto.pdf"));
        in<QLabel>(form_.get(), "lblDesc01")->setText("Verbale"); // as the attachments form would
        save();
        QCOMPARE(stored(id, "varFile02"), QByteArray("/home/u/statuto.pdf"));
        QCOMPARE(stored(id, "varDesc01"), QByteArray("Verbale"));
        QCOMPARE(stored(id, "varCartellaDesc"), QByteArray("Documenti"));

        release(form_.get(), "cmdNuovo");
        QCOMPARE(in<QLabel>(form_.get(), "lblCartella")->text(), QString());
        in<QToolButton>(form_.get(), "imgUltimo")->click();
        QCOMPARE(in<QLabel>(form_.get(), "lblDesc01")->text(), QStringLiteral("Verbale"));
        QCOMPARE(in<QLabel>(form_.get(), "lblCartella")->text(), QStringLiteral("/home/u/soci"));
    }

    void enterNeverBreaksALine()
    {
        const QList<const char*> chain = { "txtGruppo", "txtTipologia", "txtDescrizione", "txtDestinatari",
            "txtEmail", "txtInteressi", "txtPersona", "txtValutazione", "txtNote", "txtGruppo" };
        in(form_.get(), chain.first())->setFocus();
        for (int i = 0; i + 1 < chain.size(); ++i) {
            QTest::keyClicks(QApplication::focusWidget(), "ab");
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            QCOMPARE(QApplication::focusWidget()->objectName(), QLatin1String(chain[i + 1]));
        }
        QCOMPARE(memo("txtDestinatari")->toPlainText(), QStringLiteral("ab"));
        QCOMPARE(memo("txtEmail")->toPlainText(), QStringLiteral("ab"));
    }

    void pastedLineBreaksBecomeSeparators_data()
    {
        QTest::addColumn<QString>("memo");
        QTest::addColumn<QString>("pasted");
        QTest::addColumn<QString>("shown");
        QTest::newRow("names") << "txtDestinatari" << "Rossi Mario\r\nBianchi Anna\r\n"
                               << "Soci: Rossi Mario, Bianchi Anna";
        QTest::newRow("addresses") << "txtEmail" << " a@x.it \n\nb@y.it" << "Soci: a@x.it,b@y.it";
    }

    void pastedLineBreaksBecomeSeparators()
    {
        QFETCH(QString, memo);
        QFETCH(QString, pasted);
        QFETCH(QString, shown);
        auto* m = in<QPlainTextEdit>(form_.get(), memo.toLatin1().constData());
        m->setPlainText(QStringLiteral("Soci: "));
        m->moveCursor(QTextCursor::End);
        QGuiApplication::clipboard()->setText(pasted);
        m->setFocus();
        QTest::keyClick(m, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(m->toPlainText(), shown);
    }

    void importFromContacts_data()
    {
        QTest::addColumn<QString>("names");
        QTest::addColumn<QString>("addresses");
        QTest::addColumn<QString>("namesAfter");
        QTest::addColumn<QString>("addressesAfter");
        QTest::newRow("empty lists: no separator first") << " " << "" << "Verdi Luca" << "luca@v.it";
        QTest::newRow("after others, blanks trimmed")
            << " Rossi Mario " << " r@x.it " << "Rossi Mario, Verdi Luca" << "r@x.it,luca@v.it";
    }

    void importFromContacts()
    {
        QFETCH(QString, names);
        QFETCH(QString, addresses);
        QFETCH(QString, namesAfter);
        QFETCH(QString, addressesAfter);
        TestCards::store(ArchiveKind::Contacts, { { "varContatto", "  Verdi Luca " }, { "varEmail", " luca@v.it" } });
        edit("txtGruppo")->setText("Amici");
        memo("txtDestinatari")->setPlainText(names);
        memo("txtEmail")->setPlainText(addresses);
        release(form_.get(), "imgImporta");
        QCOMPARE(contacts_->mode(), QStringLiteral("gruppi"));
        pick(contacts_.get(), "Cognome e nome contatto", "verdi");
        QCOMPARE(memo("txtDestinatari")->toPlainText(), namesAfter);
        QCOMPARE(memo("txtEmail")->toPlainText(), addressesAfter);
        QCOMPARE(edit("txtGruppo")->text(), QStringLiteral("Amici")); // the card is not reset
        QCOMPARE(TestCards::count(ArchiveKind::Groups), 0); // nothing stored before Save
        save();
        QCOMPARE(stored(1, "varEmail"), addressesAfter.toLatin1());
    }

    void listLineColumns()
    {
        const QString line = SearchConfig::lineOf(Archives::get(ArchiveKind::Groups)).build(
            { QString(40, 'N'), QStringLiteral(" Soci "), QStringLiteral("Descr"), QStringLiteral("Rossi"),
                QStringLiteral("Ottima") });
        QCOMPARE(line.left(35), QString(35, 'N')); // cut to 35
        QCOMPARE(line.mid(35, 8), QStringLiteral("  Tipo: "));
        QCOMPARE(line.mid(43, 25), ListLineSpec::fit("Soci", 25));
        QCOMPARE(line.mid(68, 2), QStringLiteral("  "));
        QCOMPARE(line.mid(70, 35), ListLineSpec::fit("Descr", 35));
        QCOMPARE(line.mid(105, 7), QStringLiteral("  Rif. "));
        QCOMPARE(line.mid(112, 25), ListLineSpec::fit("Rossi", 25));
        QCOMPARE(line.mid(137, 7), QStringLiteral("  Val. "));
        QCOMPARE(line.mid(144), ListLineSpec::fit("Ottima", 25));
    }

    void pickIntoEditorThenSaveUpdates()
    {
        const QList<QByteArray>& columns = Archives::card(ArchiveKind::Groups).valueColumns();
        QCOMPARE(columns.size(), 17);
        storeGroup({ { "varGruppo", "Altro" }, { "varEmail", "z@z.it" } });
        const qint32 id = storeGroup({ { "varGruppo", QByteArray(40, 'G') }, { "varTipologia", "T" },
            { "varDescrizione", "D" }, { "varDestinatari", "Rossi, Verdi" }, { "varEmail", "r@x.it,v@x.it" },
            { "varInteressi", "I" }, { "varPersona", "P" }, { "varValutazione", "V" }, { "varNote", "N" },
            { "varFile01", "F1" }, { "varFile02", "F2" }, { "varFile03", "F3" }, { "varDesc01", "D1" },
            { "varDesc02", "D2" }, { "varDesc03", "D3" }, { "varCartella", "C" }, { "varCartellaDesc", "CD" } });
        release(form_.get(), "cmdTrova");
        QCOMPARE(quick_->mode(), QStringLiteral("gruppi"));
        pick(quick_.get(), "Nome gruppo", "GGG");
        QCOMPARE(position(), QString::number(id));
        for (const auto& c : form_->definition().columns)
            QCOMPARE(form_->fieldText(c.control).toLatin1(), stored(id, c.name.constData()));
        QCOMPARE(edit("txtGruppo")->text().size(), 40); // the whole name, not the list's cut
        edit("txtNote")->setText("cambiata");
        save();
        QCOMPARE(dialogs_->last().text,
            QStringLiteral("Le modifiche apportate alla scheda n. %1 sono state inserite in archivio.").arg(id));
        QCOMPARE(stored(id, "varNote"), QByteArray("cambiata"));
        QCOMPARE(TestCards::count(ArchiveKind::Groups), 2);
    }

    void identicalLinesLoadTheirOwnCard_data()
    {
        QTest::addColumn<bool>("advancedSearch");
        QTest::addColumn<int>("line");
        QTest::newRow("quick, second line") << false << 1;
        QTest::newRow("advanced, second line") << true << 1;
    }

    void identicalLinesLoadTheirOwnCard()
    {
        QFETCH(bool, advancedSearch);
        QFETCH(int, line);
        // The five listed fields agree; the member lists do not.
        for (const char* list : { "uno@x.it", "due@x.it" })
            storeGroup({ { "varGruppo", "Clienti" }, { "varTipologia", "news" }, { "varEmail", list } });
        if (advancedSearch) {
            release(form_.get(), "cmdWeb");
            in<QPushButton>(advanced_.get(), "cmdTrova")->click();
            QCOMPARE(advanced_->lines().size(), 2);
            QCOMPARE(advanced_->lines()[0], advanced_->lines()[1]);
            advanced_->selectLine(line);
            advanced_->lstRecordsDblClick();
        } else {
            release(form_.get(), "cmdTrova");
            pick(quick_.get(), "Tipologia", "NEWS", line);
        }
        QCOMPARE(position(), QString::number(line + 1));
        QCOMPARE(memo("txtEmail")->toPlainText(), line == 0 ? QStringLiteral("uno@x.it") : QStringLiteral("due@x.it"));
    }

    void pickersOfMessagesAndSendForm()
    {
        storeGroup({ { "varGruppo", "Soci" }, { "varDestinatari", " Rossi Mario, Verdi Luca " },
            { "varEmail", " r@x.it,v@x.it " } });
        TfrmNewsletter messages;
        TfrmInviaEmail send;
        messages.setGroupPicker(quick_.get());
        send.setGroupPicker(quick_.get());
        messages.show();
        send.show();

        messages.setFieldText("txtEmail", " a@b.it ");
        for (int round = 0; round < 2; ++round) {
            release(&messages, "imgGruppo");
            QCOMPARE(quick_->mode(), QStringLiteral("newsletter"));
            pick(quick_.get(), "Nome gruppo", "soci");
        }
        QCOMPARE(messages.fieldText("txtEmail"), QStringLiteral("a@b.it,r@x.it,v@x.it,r@x.it,v@x.it"));

        send.setFieldText("txtDestinatari", " Bianchi ");
        release(&send, "impGruppo");
        QCOMPARE(quick_->mode(), QStringLiteral("invia"));
        pick(quick_.get(), "Destinatari", "verdi");
        QCOMPARE(send.fieldText("txtDestinatari"), QStringLiteral("Bianchi,Rossi Mario, Verdi Luca"));
        QCOMPARE(send.fieldText("txtEmail"), QStringLiteral("r@x.it,v@x.it"));
    }

    void mailToTheGroup_data()
    {
        QTest::addColumn<int>("addresses");
        QTest::addColumn<bool>("desktopOpens");
        QTest::addColumn<bool>("handedOver");
        QTest::addColumn<QString>("message");
        QTest::newRow("two addresses") << 2 << true << true << QString();
        QTest::newRow("desktop refuses") << 2 << false << true
                                         << "Non è stato possibile aprire il programma di posta elettronica con "
                                            "gli indirizzi del gruppo. Per scrivere a questo gruppo utilizzare "
                                            "l'archivio dei messaggi.";
        QTest::newRow("5,000 addresses") << 5000 << true << false
                                         << "L'elenco degli indirizzi del gruppo è troppo lungo per essere passato "
                                            "al programma di posta elettronica. Per scrivere a questo gruppo "
                                            "utilizzare l'archivio dei messaggi.";
    }

    void mailToTheGroup()
    {
        QFETCH(int, addresses);
        QFETCH(bool, desktopOpens);
        QFETCH(bool, handedOver);
        QFETCH(QString, message);
        QStringList list;
        for (int i = 0; i < addresses; ++i)
            list << QStringLiteral("socio%1@associazione-esempio.it").arg(i);
        memo("txtEmail")->setPlainText(QLatin1Char(' ') + list.join(QLatin1Char(',')) + QLatin1Char(' '));
        desktop_->openResult = desktopOpens;
        release(form_.get(), "imgEmail");
        QCOMPARE(desktop_->opened,
            handedOver ? QStringList { QStringLiteral("mailto:") + list.join(QLatin1Char(',')) } : QStringList {});
        QCOMPARE(dialogs_->count(), message.isEmpty() ? 0 : 1);
        if (!message.isEmpty()) {
            QCOMPARE(dialogs_->last().kind, QStringLiteral("message"));
            QCOMPARE(dialogs_->last().text, message);
        }
    }
};

QTEST_MAIN(TestFrmGruppi)
#include "test_frm_gruppi.moc"
