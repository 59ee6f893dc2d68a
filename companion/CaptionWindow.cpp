#include "CaptionWindow.h"

#include "CaptionContent.h"

#include <QApplication>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QList>
#include <QPainterPath>
#include <QRegion>
#include <QScreen>
#include <QVBoxLayout>
#include <QWidget>

#include <algorithm>

// Every string handed to Qt is built at run time (no QStringLiteral): a string whose data lay in
// the module's own read-only memory could outlive an unload inside Qt's caches.

namespace palvina {

namespace {

constexpr int kWidth = 300;
constexpr int kMinHeight = 90;
constexpr int kMaxHeight = 200;
constexpr int kRadius = 10;
constexpr int kPadding = 14;
constexpr int kScreenMargin = 12;
// The player's bar sits at the top edge of the screen, this tall.
constexpr int kBarHeight = 31;
constexpr int kMaxLines = 4;

const char* const kStyle =
    "QFrame#panel { background-color: rgba(28, 31, 38, 228); border-radius: 10px;"
    " border: 1px solid rgba(255, 255, 255, 36); }"
    "QLabel { background: transparent; }"
    "QLabel#title { color: #ffffff; font-weight: bold; }"
    "QLabel#text { color: #d5d9e0; }";

QLabel* Label(QWidget* window, const char* name)
{
    return window->findChild<QLabel*>(QString::fromLatin1(name));
}

// Rounded corners by the window's shape: they stay round without a compositing manager.
void ApplyRoundedShape(QWidget* window)
{
    QPainterPath path;
    path.addRoundedRect(QRectF(window->rect()), kRadius, kRadius);
    window->setMask(QRegion(path.toFillPolygon().toPolygon()));
}

void PlaceNearTopRight(QWidget* window)
{
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) {
        return;
    }
    const QRect available = screen->availableGeometry();
    const QRect whole = screen->geometry();
    const int top = std::max(available.top(), whole.top() + kBarHeight) + kScreenMargin;
    const int left = available.right() + 1 - window->width() - kScreenMargin;
    window->move(std::max(available.left(), left), top);
}

} // namespace

QWidget* FindCaptionWindow()
{
    const QList<QWidget*> windows = QApplication::topLevelWidgets();
    for (QWidget* window : windows) {
        if (window->objectName() == QLatin1String(kCaptionWindowName)) {
            return window;
        }
    }
    return nullptr;
}

QWidget* CreateCaptionWindow()
{
    auto* window = new QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint |
                                            Qt::WindowStaysOnTopHint |
                                            Qt::WindowDoesNotAcceptFocus);
    window->setObjectName(QLatin1String(kCaptionWindowName));
    window->setAttribute(Qt::WA_TranslucentBackground);
    window->setAttribute(Qt::WA_ShowWithoutActivating);
    window->setAttribute(Qt::WA_X11NetWmWindowTypeNotification);
    window->setFocusPolicy(Qt::NoFocus);
    window->setStyleSheet(QLatin1String(kStyle));
    window->setWindowTitle(QString::fromUtf8("Kestova桌面"));

    auto* outer = new QVBoxLayout(window);
    outer->setContentsMargins(0, 0, 0, 0);
    auto* panel = new QFrame(window);
    panel->setObjectName(QLatin1String("panel"));
    outer->addWidget(panel);

    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(kPadding, 10, kPadding, 10);
    layout->setSpacing(4);

    auto* title = new QLabel(panel);
    title->setObjectName(QLatin1String("title"));
    title->setTextFormat(Qt::PlainText);
    QFont titleFont = title->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.1);
    title->setFont(titleFont);

    auto* text = new QLabel(panel);
    text->setObjectName(QLatin1String("text"));
    text->setTextFormat(Qt::PlainText);
    text->setWordWrap(true);
    text->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    // QLabel opens the address itself through QDesktopServices.
    auto* link = new QLabel(panel);
    link->setObjectName(QLatin1String("link"));
    link->setTextFormat(Qt::RichText);
    link->setTextInteractionFlags(Qt::LinksAccessibleByMouse);
    link->setOpenExternalLinks(true);
    link->setAlignment(Qt::AlignRight);

    layout->addWidget(title);
    layout->addWidget(text, 1);
    layout->addWidget(link);
    window->setFixedWidth(kWidth);
    return window;
}

void ShowCaption(QWidget* window, const CaptionContent& content)
{
    if (content.isEmpty()) {
        HideCaption(window);
        return;
    }
    QLabel* title = Label(window, "title");
    QLabel* text = Label(window, "text");
    QLabel* link = Label(window, "link");
    if (!title || !text || !link) {
        return;
    }
    const int textWidth = kWidth - 2 * kPadding;
    title->setText(title->fontMetrics().elidedText(content.title, Qt::ElideRight, textWidth));
    title->setToolTip(content.title);
    title->setVisible(!content.title.isEmpty());

    text->setText(content.lines.mid(0, kMaxLines).join(u'\n'));
    text->setVisible(!content.lines.isEmpty());

    if (content.link.isEmpty()) {
        link->clear();
        link->hide();
    } else {
        const QString href = QString::fromUtf8(content.link.toEncoded()).toHtmlEscaped();
        link->setText(QLatin1String("<a style=\"color:#7cc4ff; text-decoration:none\" href=\"") +
                      href + QString::fromUtf8("\">查看详情</a>"));
        link->setToolTip(content.link.toDisplayString());
        link->show();
    }

    window->layout()->activate();
    const int wanted = window->heightForWidth(kWidth);
    window->setFixedHeight(
        std::clamp(wanted > 0 ? wanted : window->sizeHint().height(), kMinHeight, kMaxHeight));
    ApplyRoundedShape(window);
    PlaceNearTopRight(window);
    window->show();
}

void HideCaption(QWidget* window)
{
    window->hide();
    for (const char* name : {"title", "text", "link"}) {
        if (QLabel* label = Label(window, name)) {
            label->clear();
            label->setToolTip(QString());
        }
    }
}

void DeleteCaptionWindows()
{
    while (QWidget* window = FindCaptionWindow()) {
        // The object name goes first so that the loop ends even if deletion were deferred.
        window->setObjectName(QString());
        delete window;
    }
}

} // namespace palvina
