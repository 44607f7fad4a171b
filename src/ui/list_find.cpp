#include "ui/list_find.h"

#include "storage/ascii.h"

QString ListFind::lowerAscii(const QString& text) { return Ascii::lower(text); }

int ListFind::next(const QStringList& lines, int selected, const QString& typedKey)
{
    const QString key = lowerAscii(typedKey);
    const int count = int(lines.size());
    if (count == 0) {
        lastKey_ = key;
        return -1;
    }
    if (selected < 0 || selected >= count)
        selected = 0;
    int start;
    int probe;
    if (key != lastKey_) {
        start = 0;
        probe = 0;
    } else {
        start = selected;
        probe = (selected + 1) % count;
    }
    lastKey_ = key;
    if (key.isEmpty())
        return -1;
    for (int tested = 0; tested < count; ++tested) {
        if (lowerAscii(lines[probe]).contains(key))
            return probe;
        if (probe == start && tested > 0)
            break;
        probe = (probe + 1) % count;
    }
    return -1;
}
