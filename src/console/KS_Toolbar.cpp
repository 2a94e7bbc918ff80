#include "KS_Toolbar.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QFocusEvent>
#include <QPointer>
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

constexpr const char* kKeepAsTypedName = "KeepAsTypedForCommands";

class KeepAsTyped : public QObject {
public:
    using QObject::QObject;
    std::function<bool()> holds;
};

KeepAsTyped* keepOf(const QWidget* box)
{
    return dynamic_cast<KeepAsTyped*>(box->findChild<QObject*>(kKeepAsTypedName, Qt::FindDirectChildrenOnly));
}

bool keptAsTyped(const QWidget* box)
{
    const KeepAsTyped* keep = keepOf(box);
    return keep && keep->holds && keep->holds();
}

// The box holding the caret in the form's window is left as Tab leaves it, so
// its rule has run when the command reads it. In the active window the focus
// really goes (and comes back afterwards, unless the command put it
// elsewhere); an inactive window has no focus to take, so the box is told it
// lost it, as it will be once another control takes it.
class LeftBox {
public:
    explicit LeftBox(QWidget* form)
    {
        QWidget* box = form->window()->focusWidget();
        if (!box || box->window() != form->window() || keptAsTyped(box))
            return;
        if (box->hasFocus()) {
            box_ = box;
            box->clearFocus();
        } else {
            QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
            QApplication::sendEvent(box, &out);
        }
    }
    ~LeftBox()
    {
        if (box_ && box_->isVisible() && box_->isEnabled() && box_->window()->isActiveWindow()
            && !QApplication::focusWidget())
            box_->setFocus(Qt::TabFocusReason);
    }
    LeftBox(const LeftBox&) = delete;
    LeftBox& operator=(const LeftBox&) = delete;

private:
    QPointer<QWidget> box_;
};

} // namespace

void KeepAsTypedForCommands(QWidget* box, std::function<bool()> keepAsTyped)
{
    KeepAsTyped* keep = keepOf(box);
    if (!keep) {
        keep = new KeepAsTyped(box);
        keep->setObjectName(kKeepAsTypedName);
    }
    keep->holds = std::move(keepAsTyped);
}

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
        QObject::connect(action, &QAction::triggered, button, [form, button] {
            const LeftBox left(form);
            button->click();
        });
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
