#include "MessageBoxWatcher.h"

#include <QAbstractButton>
#include <QApplication>

namespace palvina::test {

MessageBoxWatcher::MessageBoxWatcher()
{
    QObject::connect(&timer_, &QTimer::timeout, [this] { look(); });
    timer_.start(10);
}

void MessageBoxWatcher::look()
{
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box || !box->isVisible()) {
        return;
    }
    ++count_;
    last_ = {box->windowTitle(), box->text(), box->icon(), box->standardButtons(), box->windowModality()};
    if (QAbstractButton* ok = box->button(QMessageBox::Ok)) {
        ok->click();
    } else {
        box->reject();
    }
}

} // namespace palvina::test
