#pragma once

#include <QPlainTextEdit>
#include <QString>

// A memo holding a list (recipients' addresses or names): whatever way text
// is pasted or dropped into it, line breaks become the list's separator and
// the pasted entries are kept apart from those already there.
class ListMemo final : public QPlainTextEdit {
public:
    ListMemo(QWidget* parent, QString separator);
    const QString& separator() const { return separator_; }

protected:
    void insertFromMimeData(const QMimeData* source) override;

private:
    QString separator_;
};
