#include "ui/list_memo.h"

#include "ui/list_paste.h"

#include <QMimeData>
#include <QTextCursor>

ListMemo::ListMemo(QWidget* parent, QString separator)
    : QPlainTextEdit(parent)
    , separator_(std::move(separator))
{ }

void ListMemo::insertFromMimeData(const QMimeData* source)
{
    if (!source || !source->hasText())
        return;
    // Plain text: one document position per character, a line break included.
    const QTextCursor cursor = textCursor();
    const QString all = toPlainText();
    const QString before = all.left(cursor.selectionStart());
    const QString after = all.mid(cursor.selectionEnd());
    insertPlainText(ListPaste::insertion(before, source->text(), after, separator_));
}
