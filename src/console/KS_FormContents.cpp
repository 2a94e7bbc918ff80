#include "KS_FormContents.h"

#include <QPointer>
#include <QWidget>

#include "KS_Forms.h"

namespace {

// Where the caret was when the contents went grey, kept with the form.
class CaretBeforeGreying : public QObject {
public:
    using QObject::QObject;
    QPointer<QWidget> control;
};

constexpr const char* kCaretBeforeGreying = "caretBeforeGreying";

} // namespace

void SetFormContentsEnabled(QWidget* form, bool enabled)
{
    auto* kept = form->findChild<CaretBeforeGreying*>(kCaretBeforeGreying, Qt::FindDirectChildrenOnly);
    if (!enabled && !kept && form->focusWidget()) {
        kept = new CaretBeforeGreying(form);
        kept->setObjectName(kCaretBeforeGreying);
        kept->control = form->focusWidget();
    }
    for (QWidget* child : form->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (!child->isWindow())
            child->setEnabled(enabled);
    if (!enabled || !kept)
        return;
    // The greying took the caret, and nothing greyed can have taken it since.
    GiveCaretBack(kept->control);
    delete kept;
}
