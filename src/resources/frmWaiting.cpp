#include "resources/frmWaiting.h"

#include "core/Log.h"
#include "core/mPubFun.h"
#include "core/mPubVar.h"

#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QScreen>
#include <QVBoxLayout>

namespace ocable {

namespace {

// A tool window stays above the window that owns it, and only above that:
// the operator may still bring another program to the front while the map
// is drawn.
constexpr Qt::WindowFlags kWindowFlags = Qt::Tool | Qt::FramelessWindowHint;

QPointer<frmWaiting>& shared() {
    static QPointer<frmWaiting> instance;
    return instance;
}
} // namespace

frmWaiting::frmWaiting(QWidget* parent)
    : QWidget(parent, kWindowFlags), picture_(new QLabel(this)),
      label1_(new QLabel(QStringLiteral("请稍候..."), this)) {
    setObjectName("frmWaiting");
    setWindowTitle(QStringLiteral("请稍候..."));
    label1_->setObjectName("Label1");
    label1_->setFont(QFont(QStringLiteral("宋体"), 12));
    label1_->setAlignment(Qt::AlignCenter);
    label1_->setVisible(false);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(picture_);
    layout->addWidget(label1_);
    load();
}

void frmWaiting::load() {
    QPixmap pixmap;
    try {
        const auto file = mPubFun::resolvePath(mPubVar::gobjSysEnv->getAppDir(), {"icon", "waiting.bmp"});
        pixmap.load(QString::fromStdString(file.string()));
    } catch (const std::exception& e) {
        // The text stands in for the picture.
        qCWarning(lcComponent, "等待图片未能加载：%s", e.what());
    }
    if (pixmap.isNull()) {
        picture_->setVisible(false);
        label1_->setVisible(true);
        resize(200, 60);
    } else {
        picture_->setPixmap(pixmap);
        resize(pixmap.size());
    }
}

void frmWaiting::showAndPaint() {
    // Owned by the application's window the operator is working in: the
    // active one, else the frame of the current map view.
    QWidget* owner = QApplication::activeWindow();
    if (!owner || owner == this)
        owner = mPubVar::gfrmCurrentView ? mPubVar::gfrmCurrentView->window() : nullptr;
    if (owner == this) owner = nullptr;
    if (owner != parentWidget()) setParent(owner, kWindowFlags);
    if (auto* screen = QApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - rect().center());
    }
    show();
    raise();
    QApplication::processEvents();
}

frmWaiting& frmWaiting::instance() {
    if (!shared()) shared() = new frmWaiting();
    return *shared();
}

bool frmWaiting::loaded() {
    return !shared().isNull();
}

void frmWaiting::unload() {
    if (shared()) delete shared().data();
}

} // namespace ocable
