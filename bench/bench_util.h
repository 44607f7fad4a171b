#pragma once

#include "storage/sqlite_table3.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QFile>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <variant>
#include <vector>

// Median wall time in milliseconds of runs calls of body.
inline double medianMs(int runs, const std::function<void()>& body)
{
    std::vector<double> t;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        body();
        t.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(t.begin(), t.end());
    return t[t.size() / 2];
}

inline void report(const char* what, double ms, double baseline = 0)
{
    if (baseline > 0)
        std::printf("%-48s %10.2f ms   (%.2fx the bare loop)\n", what, ms, ms / baseline);
    else
        std::printf("%-48s %10.2f ms\n", what, ms);
}

// The bare loop the access layer is measured against: the same copy of every
// value (empty blobs as empty entries), stepped through a prepared statement
// of the same connection (so the same LIKE), without the layer's bookkeeping.
inline size_t bareLoop(TSQLiteDatabase& db, const QByteArray& sql)
{
    using Value = std::variant<std::monostate, qint64, QByteArray>;
    const auto s = db.Prepare(sql);
    std::vector<Value> values;
    const int n = s->ColumnCount();
    while (s->Step()) {
        for (int c = 0; c < n; ++c) {
            if (c == 0) {
                values.emplace_back(s->IntegerAt(c));
                continue;
            }
            const QByteArray bytes = s->BytesAt(c);
            if (bytes.isEmpty())
                values.emplace_back();
            else
                values.emplace_back(QByteArray(bytes.constData(), bytes.size()));
        }
    }
    return values.size();
}

// The process's resident and peak resident memory in MiB (Linux).
inline double procStatusMiB(const char* key)
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray wanted = QByteArray(key) + ':';
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith(wanted))
            return line.mid(wanted.size()).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return 0;
}
