#include "window/StatusBar.h"

#include <QLabel>
#include <QSizeGrip>

namespace kestrane {

StatusBar::StatusBar(QWidget *parent) : QStatusBar(parent), m_text(new QLabel(this))
{
    m_text->setObjectName(QStringLiteral("StatusBar1Text"));
    m_text->setTextFormat(Qt::PlainText);
    addWidget(m_text, 1);
    // The grip in the corner, which resizes the window, is a control too.
    if (auto *grip = findChild<QSizeGrip *>())
        grip->setAccessibleName(QStringLiteral("Resize window"));
}

void StatusBar::setText(const QString &text)
{
    m_text->setText(text);
}

QString StatusBar::text() const
{
    return m_text->text();
}

} // namespace kestrane
