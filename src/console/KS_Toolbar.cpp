#include "KS_Toolbar.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QPushButton>
#include <QStyle>
#include <QToolBar>
#include <array>
#include <utility>

#include "KS_String.h"

namespace {

// Mirrors the command button's enabled state onto its toolbar action.
class EnabledFollower : public QObject {
public:
    EnabledFollower(QPushButton* button, QAction* action)
        : QObject(action)
        , action_(action)
    {
        button->installEventFilter(this);
        action->setEnabled(button->isEnabled());
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::EnabledChange)
            action_->setEnabled(static_cast<QWidget*>(watched)->isEnabled());
        return false;
    }

private:
    QAction* action_;
};

} // namespace

QIcon ToolbarImage(std::string_view imageName)
{
    static constexpr std::array<std::pair<std::string_view, QStyle::StandardPixmap>, 12> kImages = {{
        {"Close", QStyle::SP_DialogCloseButton},
        {"Update", QStyle::SP_BrowserReload},
        {"Upload", QStyle::SP_ArrowUp},
        {"Download", QStyle::SP_ArrowDown},
        {"Add", QStyle::SP_FileDialogNewFolder},
        {"Save", QStyle::SP_DialogSaveButton},
        {"Open", QStyle::SP_DialogOpenButton},
        {"Ok", QStyle::SP_DialogOkButton},
        {"Cancel", QStyle::SP_DialogCancelButton},
        {"Clear", QStyle::SP_DialogResetButton},
        {"Delete", QStyle::SP_TrashIcon},
        {"Search", QStyle::SP_FileDialogContentsView},
    }};
    for (const auto& [name, pixmap] : kImages)
        if (name == imageName)
            return QApplication::style()->standardIcon(pixmap);
    return {};
}

void BuildCommandToolbar(QToolBar* toolbar, QWidget* form, std::span<const ToolbarButton> buttons)
{
    toolbar->clear();
    toolbar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    for (const ToolbarButton& b : buttons) {
        // The caption's access key belongs to the command button; two would clash.
        QAction* action = toolbar->addAction(ToolbarImage(b.image), QString::fromLatin1(b.caption).remove('&'));
        action->setObjectName(QString::fromLatin1(b.key));
        action->setToolTip(ToQString(b.toolTip));
        auto* button = form->findChild<QPushButton*>(QString::fromLatin1(b.key));
        if (!button)
            continue;
        // The button's own conventions leave the box being typed in.
        QObject::connect(action, &QAction::triggered, button, [button] { button->click(); });
        new EnabledFollower(button, action);
    }
}

QAction* ToolbarAction(QToolBar* toolbar, std::string_view key)
{
    for (QAction* action : toolbar->actions())
        if (action->objectName() == QString::fromLatin1(key.data(), static_cast<qsizetype>(key.size())))
            return action;
    return nullptr;
}

void BuildOkCancelToolbar(QToolBar* toolbar, QWidget* form)
{
    const ToolbarButton buttons[] = {
        {"cmdOk", "Ok", "", "Ok"},
        {"cmdCancel", "Cancel", "", "Cancel"},
    };
    BuildCommandToolbar(toolbar, form, buttons);
}
