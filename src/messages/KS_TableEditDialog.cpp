#include "KS_TableEditDialog.h"

#include <QCloseEvent>
#include <QPushButton>
#include <QToolBar>

#include "KS_Events.h"
#include "KS_FormBuilder.h"
#include "KS_Toolbar.h"

TableEditDialog::TableEditDialog(QWidget* list, int widthTwips, int heightTwips)
    : QDialog(list)
{
    client_ = BuildToolbarForm(this, tlbMenu, widthTwips, heightTwips);
}

void TableEditDialog::InitToolbar()
{
    const ToolbarButton buttons[] = {
        {"cmdOk", "&Ok", "Save Changes", "Ok"},
        {"cmdCancel", "&Cancel", "Exit Without Saving", "Cancel"},
    };
    BuildCommandToolbar(tlbMenu, this, buttons);
}

void TableEditDialog::ConnectButtons()
{
    connect(cmdOk, &QPushButton::clicked, this, &TableEditDialog::cmdOk_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &TableEditDialog::cmdCancel_Click);
}

bool TableEditDialog::MayStartSave() const { return !saving_ && !LinkConversation::ConversationActive(); }

void TableEditDialog::SetBusy(bool busy)
{
    saving_ = busy;
    client_->setEnabled(!busy);
    tlbMenu->setEnabled(!busy);
}

void TableEditDialog::cmdCancel_Click()
{
    if (!saving_)
        close();
}

void TableEditDialog::closeEvent(QCloseEvent* event)
{
    if (saving_) {
        event->ignore();
        return;
    }
    event->accept();
}
