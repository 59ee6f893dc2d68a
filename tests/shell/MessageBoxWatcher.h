#pragma once

#include <QMessageBox>
#include <QString>
#include <QTimer>

namespace palvina::test {

// What a message box showed.
struct SeenBox {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    Qt::WindowModality modality = Qt::NonModal;
};

// Watches for modal message boxes while it lives: each one is recorded and closed with its OK
// button, so a test can run code that shows one.
class MessageBoxWatcher {
public:
    MessageBoxWatcher();

    int count() const { return count_; }
    const SeenBox& last() const { return last_; }

private:
    void look();

    QTimer timer_;
    int count_ = 0;
    SeenBox last_;
};

} // namespace palvina::test
