#include "ui/platform/widgets.h"

#include "platform/picture.h"

#include <QBoxLayout>
#include <QButtonGroup>
#include <QEventLoop>
#include <QGroupBox>
#include <QGuiApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QScreen>

#include <algorithm>
#include <QPushButton>
#include <QRadioButton>
#include <QValidator>

namespace tavir::ui {

QPushButton* namedButton(QWidget* parent, const QString& name, const QString& text) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(name);
    return b;
}

void runBlocking(QWidget* window, QWidget* parent) {
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setParent(parent, Qt::Dialog);
    window->setWindowModality(Qt::ApplicationModal);
    QPointer<QWidget> guard(window);
    QEventLoop loop;
    QObject::connect(window, &QObject::destroyed, &loop, &QEventLoop::quit);
    window->show();
    fitIntoView(window);
    if (guard) loop.exec();
}

QGroupBox* optionBox(QWidget* parent, const QString& title, const QString& name, QButtonGroup* group,
                     const QStringList& texts, int firstId, Qt::Orientation orientation) {
    auto* box = new QGroupBox(title, parent);
    box->setObjectName(name);
    auto* layout = new QBoxLayout(orientation == Qt::Horizontal ? QBoxLayout::LeftToRight : QBoxLayout::TopToBottom,
                                  box);
    int id = firstId;
    for (const QString& text : texts) {
        auto* radio = new QRadioButton(text, box);
        radio->setObjectName(name + ":" + QString::number(id));
        group->addButton(radio, id);
        layout->addWidget(radio);
        ++id;
    }
    return box;
}

namespace {

class NumberValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override {
        return platform::isPartialNumberInput(input.toStdString()) ? Acceptable : Invalid;
    }
};

}  // namespace

QValidator* numberValidator(QObject* parent) { return new NumberValidator(parent); }

namespace {

QWidget* frameOf(QWidget* window) {
    auto* frame = qobject_cast<QMdiSubWindow*>(window->parentWidget());
    return frame ? frame : window;
}

// The frame's area inside the main window, or the screen's free area.
QRect availableArea(QWidget* frame) {
    if (auto* sub = qobject_cast<QMdiSubWindow*>(frame); sub && sub->mdiArea()) {
        return sub->mdiArea()->viewport()->rect();
    }
    QScreen* screen = frame->screen() ? frame->screen() : QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect(frame->pos(), frame->size());
}

}  // namespace

void fitIntoView(QWidget* window) {
    QWidget* frame = frameOf(window);
    const QRect area = availableArea(frame);
    if (area.isEmpty()) return;
    const QSize size = frame->size().expandedTo(frame->minimumSizeHint()).boundedTo(area.size());
    const int x = std::clamp(frame->x(), area.left(), area.left() + area.width() - size.width());
    const int y = std::clamp(frame->y(), area.top(), area.top() + area.height() - size.height());
    frame->setGeometry(QRect(QPoint(x, y), size));
}

void closeWithFrame(QWidget* window) {
    if (auto* frame = qobject_cast<QMdiSubWindow*>(window->parentWidget())) {
        frame->close();
    } else {
        window->close();
    }
}

}  // namespace tavir::ui
