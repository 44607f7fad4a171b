#include "ui/modal.h"

#include <QDialog>

namespace {
std::function<int(QDialog*)>& runner()
{
    static std::function<int(QDialog*)> r;
    return r;
}
std::function<void()>& launcher()
{
    static std::function<void()> l;
    return l;
}
} // namespace

int Modal::run(QDialog* dialog)
{
    if (runner())
        return runner()(dialog);
    return dialog->exec();
}

void Modal::install(std::function<int(QDialog*)> r) { runner() = std::move(r); }

void LauncherLink::show()
{
    if (launcher())
        launcher()();
}

void LauncherLink::install(std::function<void()> l) { launcher() = std::move(l); }
