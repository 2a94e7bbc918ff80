#include "KS_FormBuilder.h"

#include <QHeaderView>
#include <QToolBar>
#include <QVBoxLayout>

#include "KS_Forms.h"

namespace {

void applyKind(QWidget* control, const FormControl& row)
{
    const QString caption = QString::fromLatin1(row.caption);
    if (auto* label = qobject_cast<QLabel*>(control)) {
        label->setText(caption);
    } else if (auto* box = qobject_cast<QLineEdit*>(control)) {
        if (row.length > 0)
            box->setMaxLength(row.length);
    } else if (auto* button = qobject_cast<QPushButton*>(control)) {
        button->setText(caption);
        button->setAutoDefault(false);
    } else if (auto* check = qobject_cast<QAbstractButton*>(control)) {
        check->setText(caption);
    } else if (auto* spin = qobject_cast<QSpinBox*>(control)) {
        if (row.length > 0)
            spin->setMaximum(row.length);
    } else if (auto* frame = qobject_cast<QGroupBox*>(control)) {
        frame->setTitle(caption);
    } else if (auto* progress = qobject_cast<QProgressBar*>(control)) {
        progress->setTextVisible(false);
        progress->hide();
    } else if (auto* list = qobject_cast<QTreeWidget*>(control)) {
        list->setRootIsDecorated(false);
        list->setAllColumnsShowFocus(true);
        list->setSelectionBehavior(QAbstractItemView::SelectRows);
        list->header()->setSectionsClickable(true);
        if (*row.caption)
            list->setToolTip(caption);
    }
}

} // namespace

void BuildControls(QWidget* form, std::span<const FormControl> table)
{
    QLabel* pendingBuddy = nullptr;
    for (const FormControl& row : table) {
        QWidget* parent = form;
        if (row.parentName)
            if (auto* named = form->findChild<QWidget*>(QString::fromLatin1(row.parentName)))
                parent = named;
        QWidget* control = row.make(parent);
        control->setObjectName(QString::fromLatin1(row.name));
        const TwipsRect& g = row.geometry;
        control->setGeometry(Twips(g.left), Twips(g.top), Twips(g.width), Twips(g.height));
        applyKind(control, row);
        if (pendingBuddy)
            pendingBuddy->setBuddy(control);
        pendingBuddy = qobject_cast<QLabel*>(control);
    }
}

QWidget* BuildToolbarForm(QWidget* form, QToolBar*& tlbMenu, int widthTwips, int heightTwips)
{
    auto* root = new QVBoxLayout(form);
    root->setContentsMargins(0, 0, 0, 0);
    root->setSpacing(0);
    root->setSizeConstraint(QLayout::SetFixedSize);
    tlbMenu = new QToolBar(form);
    tlbMenu->setObjectName("tlbMenu");
    root->addWidget(tlbMenu);
    auto* client = new QWidget(form);
    client->setObjectName("clientArea");
    client->setFixedSize(Twips(widthTwips), Twips(heightTwips));
    root->addWidget(client);
    return client;
}
