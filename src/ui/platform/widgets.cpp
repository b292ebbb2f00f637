#include "ui/platform/widgets.h"

#include <QBoxLayout>
#include <QButtonGroup>
#include <QEventLoop>
#include <QGroupBox>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>

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

}  // namespace tavir::ui
