#include "ui/field_access.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

QString FieldAccess::text(const QWidget* field)
{
    if (auto* e = qobject_cast<const QLineEdit*>(field))
        return e->text();
    if (auto* m = qobject_cast<const QPlainTextEdit*>(field))
        return m->toPlainText().replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    if (auto* t = qobject_cast<const QTextEdit*>(field))
        return t->toPlainText().replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    if (auto* c = qobject_cast<const QComboBox*>(field))
        return c->currentText();
    if (auto* l = qobject_cast<const QLabel*>(field))
        return l->text();
    return {};
}

void FieldAccess::setText(QWidget* field, const QString& text)
{
    if (auto* e = qobject_cast<QLineEdit*>(field)) {
        e->setText(text);
        return;
    }
    // Memos show line breaks as typed; the archives keep CR LF.
    QString plain = text;
    plain.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (auto* m = qobject_cast<QPlainTextEdit*>(field))
        m->setPlainText(plain);
    else if (auto* t = qobject_cast<QTextEdit*>(field))
        t->setPlainText(plain);
    else if (auto* c = qobject_cast<QComboBox*>(field))
        c->setCurrentText(text);
    else if (auto* l = qobject_cast<QLabel*>(field))
        l->setText(text);
}
