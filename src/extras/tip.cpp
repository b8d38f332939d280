#include "tip.h"

#include "shell/module1.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>

namespace trovix {

Tip::Tip(Module1& module)
    : m_module(module)
{
    setObjectName(QStringLiteral("Tip"));
    setAttribute(Qt::WA_DeleteOnClose);
    Picture1 = new QWidget(this);
    Label1 = new QLabel(QStringLiteral("Let me tell you ..."), Picture1);
    lblTipText = new QLabel(Picture1);
    cmdNextTip = new QPushButton(QStringLiteral("&Next Tip"), this);
    cmdOK = new QPushButton(QStringLiteral("OK"), this);
}

void Tip::Form_Load()
{}
bool Tip::LoadTips(const QString&)
{
    return false;
}
void Tip::ShowNextTip()
{}
void Tip::DisplayCurrentTip()
{}
void Tip::cmdNextTip_Click()
{}
void Tip::cmdOK_Click()
{
    close();
}

void Tip::closeEvent(QCloseEvent* event)
{
    event->accept();
    emit unloaded();
}

} // namespace trovix
