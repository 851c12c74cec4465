#include "window/StatusBar.h"

#include <QLabel>

namespace kestrane {

StatusBar::StatusBar(QWidget *parent) : QStatusBar(parent), m_text(new QLabel(this))
{
    m_text->setObjectName(QStringLiteral("StatusBar1Text"));
    m_text->setTextFormat(Qt::PlainText);
    addWidget(m_text, 1);
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
