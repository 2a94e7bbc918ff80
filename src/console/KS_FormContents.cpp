#include "KS_FormContents.h"

#include <QWidget>

void SetFormContentsEnabled(QWidget* form, bool enabled)
{
    for (QWidget* child : form->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (!child->isWindow())
            child->setEnabled(enabled);
}
