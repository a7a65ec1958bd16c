-- The main menu page's script. The page reaches it as "add_object" when it
-- is shown and "delete_object" when it goes; while shown it is drawn each
-- frame, the arrow keys move the focus between its buttons and a pressed
-- button tells the main script what to do.

local page = nil
local shown = false
local handlers = {}

function handlers.add_object(handle)
    page = StringToPointer(handle)
    shown = true
    DeselectCurrentButton(page)
    IMenuRight()
end

function handlers.delete_object()
    shown = false
end

-- The arrow keys reach pages inverted: Down sends "menu_up".
function handlers.menu_up()
    IMenuRight()
    PlaySpecialSound("click")
end

function handlers.menu_down()
    IMenuLeft()
    PlaySpecialSound("click")
end

function handlers.button(name)
    if name == "start" then
        SendCommandByName("main", "start_race", "")
    elseif name == "timetrial" then
        SendCommandByName("main", "start_time_trial", "")
    elseif name == "options" then
        SendCommandByName("main", "open_options", "")
    elseif name == "quit" then
        KillAllTasks()
    end
end

while true do
    while SetNextCommand(globalObject) do
        local handler = handlers[GetCurrentCommand(globalObject)]
        if handler then
            handler(GetCurrentParams(globalObject))
        end
    end
    if shown then
        UpdateInterface(page)
    end
    Update()
end
