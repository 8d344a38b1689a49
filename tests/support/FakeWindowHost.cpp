#include "tests/support/FakeWindowHost.h"

#include <gtest/gtest.h>

namespace varlin::test {

UserAction Click(int id)
{
    return [id](DialogHandler& dialog) { dialog.OnCommand(id); };
}

void FakeWindowHost::Script(int templateId, std::vector<UserAction> actions)
{
    for (UserAction& action : actions) scripts[templateId].push_back(std::move(action));
}

void FakeWindowHost::Log(const DialogHandler& dialog, const std::string& what)
{
    log.push_back(what + " " + std::to_string(dialog.TemplateId()));
}

int FakeWindowHost::RunModal(DialogHandler& dialog)
{
    WindowState& state = State(dialog);
    state.exists = state.visible = state.running = true;
    state.ended = false;
    state.minimised = false;
    // A new window: a whole system menu and controls as the template makes them.
    state.menuItemsRemoved = 0;
    state.menuItemsAdded.clear();
    state.texts.clear();
    state.disabled.clear();
    state.hidden.clear();
    state.checked.clear();
    ++state.runs;
    Log(dialog, "run");
    dialog.OnInitDialog();
    if (!State(dialog).ended) State(dialog).visible = true;  // the modal run shows the window once it is set up
    auto& script = scripts[dialog.TemplateId()];
    while (!State(dialog).ended) {
        if (script.empty()) {
            ADD_FAILURE() << "dialog " << dialog.TemplateId() << " waits for a user action the test did not script";
            EndDialog(dialog, kResultCancel);
            break;
        }
        UserAction action = std::move(script.front());
        script.pop_front();
        action(dialog);
    }
    WindowState& after = State(dialog);
    after.exists = after.visible = after.running = false;
    return after.result;
}

bool FakeWindowHost::CreateModeless(DialogHandler& dialog)
{
    WindowState& state = State(dialog);
    state.exists = true;
    state.visible = false;
    Log(dialog, "create");
    dialog.OnInitDialog();
    return true;
}

void FakeWindowHost::EndDialog(DialogHandler& dialog, int result)
{
    WindowState& state = State(dialog);
    state.ended = true;
    state.result = result;
    if (!state.running) state.visible = false;  // a modeless window is only hidden
    log.push_back("end " + std::to_string(dialog.TemplateId()) + " " + std::to_string(result));
}

bool FakeWindowHost::IsWindow(const DialogHandler& dialog) const
{
    const auto found = windows.find(&dialog);
    return found != windows.end() && found->second.exists;
}

void FakeWindowHost::ShowWindow(DialogHandler& dialog, ShowCommand command)
{
    static const std::map<ShowCommand, std::string> kNames = {
        {ShowCommand::Hide, "hide"},         {ShowCommand::Show, "show"},
        {ShowCommand::ShowNormal, "normal"}, {ShowCommand::ShowMinimized, "minimise"},
        {ShowCommand::Restore, "restore"},
    };
    WindowState& state = State(dialog);
    state.visible = command != ShowCommand::Hide;
    if (command == ShowCommand::ShowMinimized) state.minimised = true;
    if (command == ShowCommand::ShowNormal || command == ShowCommand::Restore) state.minimised = false;
    Log(dialog, kNames.at(command));
}

void FakeWindowHost::PlaceWindow(DialogHandler& dialog, const WindowPlacement& placement)
{
    WindowState& state = State(dialog);
    state.placement = placement;
    state.placed = true;
    state.visible = placement.show;
    Log(dialog, "place");
}

void FakeWindowHost::RedrawNow(DialogHandler& dialog) { Log(dialog, "redraw"); }

void FakeWindowHost::SetMainWindow(DialogHandler& dialog)
{
    if (mainWindow != nullptr && mainWindow != &dialog && !State(*mainWindow).property.empty()) {
        State(dialog).property = State(*mainWindow).property;
        State(*mainWindow).property.clear();
    }
    mainWindow = &dialog;
    Log(dialog, "main");
}

void FakeWindowHost::SetCaption(DialogHandler& dialog, const std::string& caption) { State(dialog).caption = caption; }

void FakeWindowHost::SetIcon(DialogHandler& dialog, int iconId) { State(dialog).icon = iconId; }

void FakeWindowHost::RemoveSystemMenuItem(DialogHandler& dialog, int position)
{
    WindowState& state = State(dialog);
    EXPECT_EQ(position, state.menuItemsRemoved) << "system menu items go by position 0, 1, 2";
    ++state.menuItemsRemoved;
}

void FakeWindowHost::AppendSystemMenuItem(DialogHandler& dialog, int command, const std::string& text)
{
    State(dialog).menuItemsAdded.emplace_back(command, text);
}

std::string FakeWindowHost::LoadStringResource(int id)
{
    const auto found = strings.find(id);
    return found == strings.end() ? std::string() : found->second;
}

void FakeWindowHost::SetItemText(DialogHandler& dialog, int id, const std::string& text)
{
    WindowState& state = State(dialog);
    state.texts[id] = text;
    state.textHistory[id].push_back(text);
}

std::string FakeWindowHost::ItemText(DialogHandler& dialog, int id) { return State(dialog).texts[id]; }

void FakeWindowHost::EnableItem(DialogHandler& dialog, int id, bool enable) { State(dialog).disabled[id] = !enable; }

void FakeWindowHost::ShowItem(DialogHandler& dialog, int id, bool show) { State(dialog).hidden[id] = !show; }

void FakeWindowHost::FocusItem(DialogHandler& dialog, int id) { State(dialog).focus = id; }

void FakeWindowHost::SetChecked(DialogHandler& dialog, int id, bool checked) { State(dialog).checked[id] = checked; }

bool FakeWindowHost::IsChecked(DialogHandler& dialog, int id) { return State(dialog).checked[id]; }

void FakeWindowHost::SetProgressRange(DialogHandler& dialog, int id, uint32_t upper)
{
    State(dialog).progressUpper[id] = upper;
}

void FakeWindowHost::SetProgressPosition(DialogHandler& dialog, int id, uint32_t position)
{
    State(dialog).progressPositions[id].push_back(position);
}

void FakeWindowHost::PresentFrame(DialogHandler& dialog, const Frame& frame)
{
    WindowState& state = State(dialog);
    state.lastFrame = frame;
    state.lastFramePixels.assign(frame.rgb, frame.rgb + static_cast<size_t>(frame.width) * frame.height * 3);
    state.lastFrame.rgb = state.lastFramePixels.data();
}

void FakeWindowHost::SetWaitCursor(bool waiting)
{
    waitCursor = waiting;
    waitCursorChanges.push_back(waiting);
}

void FakeWindowHost::MarkWindow(DialogHandler& dialog, const std::string& property)
{
    State(dialog).property = property;
}

void FakeWindowHost::ActivateMarkedWindow(const std::string& property) { log.push_back("activate " + property); }

}  // namespace varlin::test
