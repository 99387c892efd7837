#include "gui/settings/about_window.h"

#include <QEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "gui/common/icons.h"

namespace orrelin::gui {

QString AboutWindow::VersionText() {
    return QStringLiteral("Beta Version %1.%2.%3")
        .arg(ORRELIN_VERSION_MAJOR)
        .arg(ORRELIN_VERSION_MINOR)
        .arg(ORRELIN_VERSION_PATCH);
}

AboutWindow::AboutWindow(QWidget* parent) : QWidget(parent, Qt::Window | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("aboutWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("About Orrelin"));
    setFocusPolicy(Qt::StrongFocus);

    auto* outer = new QVBoxLayout(this);
    auto* frame = new QFrame(this);
    frame->setObjectName(QStringLiteral("frame"));
    frame->setFrameShape(QFrame::Box);
    frame_ = frame;
    outer->addWidget(frame);

    auto* layout = new QHBoxLayout(frame);
    auto* logo = new QLabel(frame);
    logo->setObjectName(QStringLiteral("logo"));
    logo->setPixmap(ApplicationIcon().pixmap(96, 96));
    logo->setAlignment(Qt::AlignTop);
    layout->addWidget(logo);

    auto* texts = new QVBoxLayout();
    layout->addLayout(texts, 1);
    productNameLabel_ = new QLabel(QStringLiteral("Orrelin"), frame);
    productNameLabel_->setObjectName(QStringLiteral("productNameLabel"));
    QFont big = productNameLabel_->font();
    big.setPointSize(big.pointSize() * 2);
    big.setBold(true);
    productNameLabel_->setFont(big);
    texts->addWidget(productNameLabel_);

    versionLabel_ = new QLabel(VersionText(), frame);
    versionLabel_->setObjectName(QStringLiteral("versionLabel"));
    texts->addWidget(versionLabel_);

    edition_ = new QLabel(QStringLiteral("Free Version"), frame);
    edition_->setObjectName(QStringLiteral("editionLabel"));
    edition_->setCursor(Qt::PointingHandCursor);
    texts->addWidget(edition_);

    auto* maker = new QLabel(QStringLiteral("Made by the Orrelin developers"), frame);
    maker->setObjectName(QStringLiteral("makerLabel"));
    texts->addWidget(maker);
    auto* contact = new QLabel(
        QStringLiteral("Support: see the README that comes with the program, 2026"), frame);
    contact->setObjectName(QStringLiteral("contactLabel"));
    texts->addWidget(contact);
    texts->addStretch(1);
    closeButton_ = new QPushButton(QStringLiteral("Close"), frame);
    closeButton_->setObjectName(QStringLiteral("closeButton"));
    closeButton_->setDefault(true);
    connect(closeButton_, &QPushButton::clicked, this, &QWidget::close);
    texts->addWidget(closeButton_, 0, Qt::AlignRight);

    // Clicks on these close the window; clicks on the version, the logo and the maker lines
    // do nothing, and the edition line shows the credits.
    frame_->installEventFilter(this);
    productNameLabel_->installEventFilter(this);
    edition_->installEventFilter(this);
    for (QWidget* quiet : {static_cast<QWidget*>(logo), static_cast<QWidget*>(versionLabel_),
                           static_cast<QWidget*>(maker), static_cast<QWidget*>(contact)}) {
        quiet->installEventFilter(this);
    }

    adjustSize();
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect available = screen->availableGeometry();
        move(available.left() + (available.width() - width()) / 2,
             available.top() + (available.height() - height()) / 2);
    }
}

bool AboutWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::MouseButtonPress) return QWidget::eventFilter(watched, event);
    if (watched == frame_ || watched == productNameLabel_) {
        close();
        return true;
    }
    if (watched == edition_) {
        edition_->setText(QStringLiteral(
            "Sole Developer:\r\nThe Orrelin developers\r\nSee the README for a contact"));
        return true;
    }
    return true;  // the version, the logo and the maker lines take clicks without effect
}

void AboutWindow::mousePressEvent(QMouseEvent* event) {
    event->accept();
    close();
}

void AboutWindow::keyPressEvent(QKeyEvent* event) {
    event->accept();
    close();
}

}  // namespace orrelin::gui
