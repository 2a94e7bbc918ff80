#pragma once
// A message table against the simulated encoder: the pump, an empty data
// folder, scripted message boxes, data-file images built by hand, and the
// windows opened over the main window with their edit dialogs driven to the end.

#include <QFocusEvent>
#include <QTimer>

#include "ConsoleHarness.h"
#include "DataFileHelpers.h"
#include "KS_ListWindow.h"
#include "KS_MessageWindows.h"
#include "KS_PPM_MessagesTable.h"
#include "KS_Paging.h"
#include "KS_String.h"
#include "LinkSimBackend.h"
#include "LinkTestSupport.h"
#include "RecordFile.h"

inline std::string readFile(const std::string& name) { return ReadBytes(DataFilePath(name)); }
inline void writeFile(const std::string& name, const std::string& bytes) { WriteBytes(DataFilePath(name), bytes); }
// One TableMessage record as the file holds it; unread: the text never set.
inline std::string record(const std::string& no, const std::string& text) { return no + text + std::string(67, '\0'); }
inline std::string unread(const std::string& no) { return record(no, std::string(30, '\0')); }
inline std::string padded(const std::string& text, std::size_t width = 30) { return PadRight(text, width); }

inline sim::Fault lastingFault(sim::FaultKind kind, const std::string& pattern,
                               sim::MatchMode match = sim::MatchMode::Prefix)
{
    return {.kind = kind, .pattern = pattern, .match = match, .ticks = 5, .bytes = {}, .position = 0, .times = 0};
}

inline Lines writesOnly(const Lines& lines)
{
    Lines out;
    for (const auto& line : lines)
        if (line.ends_with("W"))
            out.push_back(line);
    return out;
}

// Runs `steps` on the modal dialog `name` once `open` has shown it under
// `owner`, then closes it when the steps left it open; returns whether they
// did. A dialog that never shows fails the test by its name: the search ends
// when `open` returns, or at once when another modal window came up instead,
// which is then closed so nothing is left waiting.
template <class Dialog = QDialog, class Steps>
bool RunDialog(QWidget& owner, const QString& name, const std::function<void()>& open, Steps steps)
{
    bool ran = false;
    bool stayed = false;
    QTimer search;
    search.setSingleShot(true);
    QObject::connect(&search, &QTimer::timeout, [&] {
        auto* dialog = owner.findChild<Dialog*>(name);
        auto* other = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (dialog && dialog->isVisible()) {
            ran = true;
            steps(*dialog);
            if ((stayed = dialog->isVisible()))
                dialog->done(QDialog::Rejected);
        } else if (other) {
            ADD_FAILURE() << name.toStdString() << " did not open; " << other->objectName().toStdString() << " did";
            other->done(QDialog::Rejected);
        } else {
            search.start();
        }
    });
    search.start(0);
    open();
    if (!ran)
        ADD_FAILURE() << name.toStdString() << " did not open";
    return stayed;
}

inline void type(QWidget& dialog, const char* box, const QString& text)
{
    auto* edit = dialog.findChild<QLineEdit*>(box);
    edit->setText(text);
    emit edit->editingFinished();
}
// What a control shows: a box's text, a list's entry, "1" or "0" for a check box.
inline QString shown(const QWidget& form, const char* name)
{
    if (auto* box = form.findChild<QLineEdit*>(name))
        return box->text();
    if (auto* list = form.findChild<QComboBox*>(name))
        return list->currentText();
    auto* check = form.findChild<QCheckBox*>(name);
    return check ? (check->isChecked() ? "1" : "0") : "no control " + QString(name);
}
// Whether each box selects its whole text when it gets the focus.
inline std::vector<bool> selectsOnFocus(QWidget& form, std::initializer_list<const char*> boxes)
{
    std::vector<bool> selected;
    for (const char* name : boxes) {
        auto* box = form.findChild<QLineEdit*>(name);
        if (box->text().isEmpty())
            box->setText("0");
        box->deselect();
        QFocusEvent in(QEvent::FocusIn, Qt::MouseFocusReason);
        QCoreApplication::sendEvent(box, &in);
        QCoreApplication::processEvents();
        selected.push_back(box->hasSelectedText());
    }
    return selected;
}
inline QStringList rowTexts(const QTreeWidget* list, int row)
{
    QStringList texts;
    for (int c = 0; c < list->columnCount(); ++c)
        texts << list->topLevelItem(row)->text(c);
    return texts;
}

// One per case: a table-driven test builds a fresh one for each row.
struct TableRig {
    TableRig()
    {
        QDir(QString::fromStdString(MakeDataFolder())).removeRecursively();
        MakeDataFolder();
        auto line = std::make_unique<UnpluggableLine>(engine);
        adapter = line.get();
        link = std::make_unique<LinkHarness>(std::move(line));
        DetectEncoder();
        engine.ClearTranscript();
    }
    // The lines the unit received (CR removed), the bare probes left out.
    Lines hostLines()
    {
        Lines lines;
        for (const auto& entry : engine.Transcript())
            if (entry.fromHost && entry.bytes != "\r")
                lines.push_back(entry.bytes.substr(0, entry.bytes.size() - 1));
        engine.ClearTranscript();
        return lines;
    }

    sim::Engine engine; // model X
    std::unique_ptr<LinkHarness> link;
    UnpluggableLine* adapter = nullptr; // plugged in until a test pulls it
    ScriptedMessages messages;
    StatusLog status;
};

// The table windows over the main window and the simulated encoder; one per
// test, or per case of a table-driven test.
struct WindowRig {
    WindowRig() { RegisterMessageWindows(); }

    // A unit of the letter (and firmware, and that many free-text and wireless slots), the main window loaded on it.
    void load(char letter, const char* version = nullptr, int tableSize = 0)
    {
        harness.engine.SetModel(letter);
        if (version)
            harness.engine.EditProfile().version = version;
        if (tableSize)
            harness.engine.EditProfile().freetext.size = harness.engine.EditProfile().wireless.size = tableSize;
        harness.Load();
    }
    KS_PPM_MessagesTable& open(std::string_view form)
    {
        auto* window = static_cast<KS_PPM_MessagesTable*>(CreateRegisteredWindow(form, &harness.form()));
        harness.form().OpenOwnedWindow(window, false);
        harness.HostLines();
        return *window;
    }
    // Opens the edit dialog on the row, runs the steps and clicks Ok; returns
    // whether the dialog stayed open.
    template <class Dialog = QDialog, class Steps>
    bool edit(KS_PPM_MessagesTable& list, int row, Steps steps, bool ok = true)
    {
        SelectListRow(list.lvwMessages, list.lvwMessages->topLevelItem(row));
        const QString name = list.objectName() + "Add";
        return RunDialog<Dialog>(list, name, [&list] { list.lvwMessages_DblClick(); }, [&](Dialog& d) {
            steps(d);
            if (ok)
                d.template findChild<QPushButton*>("cmdOk")->click();
        });
    }
    ConsoleHarness harness;
};
