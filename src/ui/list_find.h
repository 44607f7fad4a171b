#pragma once

#include <QString>
#include <QStringList>

// Finding a line in a result list: repeated clicks with the same key step
// from match to match and wrap around; a new key starts again from the top.
class ListFind {
public:
    // The line to select, or -1 when none matches. selected is the selected
    // line (-1 for none, which counts as line 0).
    int next(const QStringList& lines, int selected, const QString& typedKey);
    void forget() { lastKey_.clear(); }
    const QString& lastKey() const { return lastKey_; }

    // A–Z to a–z only, as the archives compare.
    static QString lowerAscii(const QString& text);

private:
    QString lastKey_;
};
