#include "about.h"

#include "shell/module1.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

namespace trovix {

About::About(Module1& module)
    : m_module(module)
{
    setObjectName(QStringLiteral("about"));
    setAttribute(Qt::WA_DeleteOnClose);
    picIcon = new QLabel(this);
    lblTitle = new QLabel(QStringLiteral("TROVIX"), this);
    lblVersion = new QLabel(QStringLiteral("Version 1.0"), this);
    lblDisclaimer = new QLabel(this);
    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    Timer1 = new QTimer(this);
}

void About::Form_Load()
{}
void About::Timer1_Timer()
{}
void About::cmdOK_Click()
{
    close();
}

void About::closeEvent(QCloseEvent* event)
{
    event->accept();
    emit unloaded();
}

} // namespace trovix
