#include "KS_FormContents.h"

#include <QPointer>
#include <QWidget>

#include "KS_Forms.h"

namespace {

// Where the caret was when the controls went grey, kept with the form.
class CaretBeforeGreying : public QObject {
public:
    using QObject::QObject;
    QPointer<QWidget> control;
};

constexpr const char* kCaretBeforeGreying = "caretBeforeGreying";

CaretBeforeGreying* keptCaret(QWidget* form)
{
    return form->findChild<CaretBeforeGreying*>(kCaretBeforeGreying, Qt::FindDirectChildrenOnly);
}

} // namespace

void KeepCaretWhileGrey(QWidget* form)
{
    // A greying within a greying keeps the caret the first one took.
    if (keptCaret(form) || !form->focusWidget())
        return;
    auto* kept = new CaretBeforeGreying(form);
    kept->setObjectName(kCaretBeforeGreying);
    kept->control = form->focusWidget();
}

void GiveCaretBackAfterGrey(QWidget* form)
{
    CaretBeforeGreying* kept = keptCaret(form);
    if (!kept)
        return;
    // Nothing greyed can have taken the caret since.
    GiveCaretBack(kept->control);
    delete kept;
}

void SetFormContentsEnabled(QWidget* form, bool enabled)
{
    if (!enabled)
        KeepCaretWhileGrey(form);
    for (QWidget* child : form->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (!child->isWindow())
            child->setEnabled(enabled);
    if (enabled)
        GiveCaretBackAfterGrey(form);
}
