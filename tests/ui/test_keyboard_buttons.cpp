// Image buttons act on a mouse release; a keyboard user reaches them with Tab
// and presses Space or Enter to the same effect.
#include "archives/archive_registry.h"
#include "contacts/frm_rubrica.h"
#include "groups/frm_gruppi.h"
#include "mail/frm_invia_email.h"
#include "shell/frm_avvio.h"
#include "support/test_seams.h"
#include "ui/form_look.h"
#include "ui/help.h"
#include "ui/search_forms.h"

#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>
#include <QtTest>

#include <functional>
#include <memory>

namespace {

QWidget* focused() { return QApplication::focusWidget(); }

void key(Qt::Key k, bool autoRepeat = false)
{
    QWidget* w = focused();
    QKeyEvent press(QEvent::KeyPress, k, Qt::NoModifier, QString(), autoRepeat);
    QKeyEvent release(QEvent::KeyRelease, k, Qt::NoModifier, QString(), autoRepeat);
    QApplication::sendEvent(w, &press);
    QApplication::sendEvent(w, &release);
}

// Tabs from where the focus is until it reaches the widget; false when a
// whole round of the form never does.
bool tabTo(QWidget* target)
{
    for (int i = 0; i < 200 && focused() != target; ++i)
        QTest::keyClick(focused(), Qt::Key_Tab);
    return focused() == target;
}

} // namespace

class TestKeyboardButtons : public QObject {
    Q_OBJECT

private slots:
    void spaceAndEnterAct()
    {
        QWidget form;
        auto* layout = new QVBoxLayout(&form);
        auto* field = new QLineEdit(&form);
        auto* button = new QToolButton(&form);
        auto* link = new QLabel(QStringLiteral("collegamento"), &form);
        auto* picture = new QLabel(QStringLiteral("figura"), &form);
        for (QWidget* w : { static_cast<QWidget*>(field), static_cast<QWidget*>(button), static_cast<QWidget*>(link),
                 static_cast<QWidget*>(picture) })
            layout->addWidget(w);
        int buttonRuns = 0;
        int linkRuns = 0;
        FormLook::onRelease(button, [&] { ++buttonRuns; });
        FormLook::onRelease(link, [&] { ++linkRuns; });
        FormLook::onRelease(picture, [&] { ++linkRuns; });
        FormLook::keyboardLink(link);
        QVERIFY(showActive(&form));
        field->setFocus();

        QVERIFY(tabTo(button));
        key(Qt::Key_Space);
        QCOMPARE(buttonRuns, 1);
        key(Qt::Key_Return);
        QCOMPARE(buttonRuns, 2);
        key(Qt::Key_Space, true); // a key held down acts once, not per repeat
        QCOMPARE(buttonRuns, 2);
        key(Qt::Key_A);
        QCOMPARE(buttonRuns, 2);
        button->setEnabled(false);
        field->setFocus();
        // A disabled button is neither reached nor pressed.
        QTest::keyClick(field, Qt::Key_Tab);
        QCOMPARE(focused(), link);
        key(Qt::Key_Enter);
        key(Qt::Key_Space);
        QCOMPARE(linkRuns, 2);
        QCOMPARE(buttonRuns, 2);
        // A picture beside a link that does the same stays out of the way.
        QCOMPARE(picture->focusPolicy(), Qt::NoFocus);
    }

    // A modal form closing makes Qt enter the button that opened it again,
    // wherever the mouse is: the button must not stay drawn raised.
    void entryWithoutTheMouseLeavesTheButtonFlat()
    {
        QWidget form;
        form.resize(300, 200);
        auto* button = new QToolButton(&form);
        button->setAutoRaise(true);
        button->setGeometry(10, 10, 40, 40);
        FormLook::onRelease(button, [] {});
        QVERIFY(showActive(&form));
        QCursor::setPos(form.mapToGlobal(QPoint(250, 150)));
        button->setAttribute(Qt::WA_UnderMouse, true); // as Qt sets it before an Enter
        QEnterEvent away(QPointF(20, 20), QPointF(20, 20), QPointF(form.mapToGlobal(QPoint(20, 20))));
        QApplication::sendEvent(button, &away);
        QVERIFY(!button->underMouse());

        QCursor::setPos(button->mapToGlobal(QPoint(20, 20)));
        button->setAttribute(Qt::WA_UnderMouse, true);
        QEnterEvent over(QPointF(20, 20), QPointF(20, 20), QPointF(button->mapToGlobal(QPoint(20, 20))));
        QApplication::sendEvent(button, &over);
        QVERIFY(button->underMouse());
    }

    // Real forms, reached with Tab from their first field.
    void formsAnswerTheKeyboard_data()
    {
        QTest::addColumn<QString>("form");
        QTest::addColumn<QString>("control");
        QTest::addColumn<int>("key");
        QTest::newRow("contacts toolbar help, Space") << "contacts"
                                                      << "cmdGuida" << int(Qt::Key_Space);
        QTest::newRow("groups import, Enter") << "groups"
                                              << "imgImporta" << int(Qt::Key_Return);
        QTest::newRow("send form help, Enter") << "send"
                                               << "cmdGuida" << int(Qt::Key_Return);
        QTest::newRow("launcher help link, Enter") << "launcher"
                                                   << "imgGuida" << int(Qt::Key_Return);
        QTest::newRow("launcher presentation link, Space") << "launcher"
                                                           << "imgCopyright" << int(Qt::Key_Space);
    }

    void formsAnswerTheKeyboard()
    {
        QFETCH(QString, form);
        QFETCH(QString, control);
        QFETCH(int, key);
        TempDataDir dir;
        ScriptedDialogs dialogs;
        ModelessDialogs modeless;
        QStringList happened;
        Help::install([&](const HelpTopic& t) { happened << QStringLiteral("help ") + t.title; });
        std::unique_ptr<QWidget> window;
        std::unique_ptr<QuickSearchForm> picker;
        std::unique_ptr<QWidget> info;
        if (form == "contacts") {
            window = std::make_unique<TfrmRubrica>();
        } else if (form == "groups") {
            auto* groups = new TfrmGruppi;
            picker = std::make_unique<QuickSearchForm>(Archives::get(ArchiveKind::Contacts));
            groups->setContactPicker(picker.get());
            window.reset(groups);
        } else if (form == "send") {
            window = std::make_unique<TfrmInviaEmail>();
        } else {
            auto* launcher = new TfrmAvvio;
            info = std::make_unique<QDialog>();
            launcher->setSplashForm(static_cast<QDialog*>(info.get()));
            window.reset(launcher);
        }
        QVERIFY(showActive(window.get()));
        QWidget* target = window->findChild<QWidget*>(control);
        QVERIFY(target);
        QVERIFY2(tabTo(target), qPrintable(control + QStringLiteral(" is not reached with Tab")));
        ::key(Qt::Key(key));
        if (picker && picker->isVisible())
            happened << QStringLiteral("picker ") + picker->objectName();
        if (info && info->isVisible())
            happened << QStringLiteral("presentation");
        QCOMPARE(happened.size(), 1);
        Help::install({});
    }
};

QTEST_MAIN(TestKeyboardButtons)
#include "test_keyboard_buttons.moc"
