#include "mail/send_questions.h"

#include "ui/dialogs.h"

#include <QApplication>

namespace {
const QString kRefusal = QStringLiteral("Invio non applicabile");

// The hourglass of the send button would sit over the question.
class CursorLifted {
public:
    CursorLifted()
    {
        while (QApplication::overrideCursor()) {
            QApplication::restoreOverrideCursor();
            ++lifted_;
        }
    }
    ~CursorLifted()
    {
        for (; lifted_ > 0; --lifted_)
            QApplication::setOverrideCursor(Qt::WaitCursor);
    }
    CursorLifted(const CursorLifted&) = delete;
    CursorLifted& operator=(const CursorLifted&) = delete;

private:
    int lifted_ = 0;
};

QString oneALine(const QStringList& items) { return items.join(QLatin1Char('\n')); }
} // namespace

void SendQuestions::refuseUnknownFields(const QStringList& placeholders)
{
    CursorLifted lifted;
    Dialogs::warning(kRefusal, SendChecks::unknownFieldsText(placeholders));
}

bool SendQuestions::sendPrivatelyInstead(const QStringList& placeholders)
{
    CursorLifted lifted;
    return Dialogs::confirm(
        QStringLiteral("Campi personalizzati"), SendChecks::plainWithFieldsText(placeholders), true);
}

void SendQuestions::allExcluded(const QStringList& excluded)
{
    CursorLifted lifted;
    Dialogs::warningDetailed(kRefusal, SendChecks::allExcludedText(int(excluded.size())), oneALine(excluded));
}

bool SendQuestions::goAhead(const SendChecks::Outline& outline)
{
    CursorLifted lifted;
    return Dialogs::confirmDetailed(
        QStringLiteral("Conferma invio"), SendChecks::outlineText(outline), oneALine(outline.excluded));
}

void SendQuestions::install()
{
    static SendQuestions questions;
    SendChecks::install(&questions);
}
