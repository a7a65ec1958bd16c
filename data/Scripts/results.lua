-- The results page's script: shows the place, the race time and the best
-- lap the main script sends with "show_results", or a time trial's verdict,
-- lap times and the profile's best lap with "show_trial"; Enter on
-- "continue" or any key goes back to the main menu.

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

function handlers.show_results(place, time, best)
    SetText(page, "place", place or "")
    SetText(page, "time", "Race time " .. (time or ""))
    SetText(page, "best", "Best lap " .. (best or ""))
end

function handlers.show_trial(verdict, laps, best)
    SetText(page, "place", verdict or "")
    SetText(page, "time", "Lap times " .. (laps or ""))
    SetText(page, "best", "Best lap " .. (best or ""))
end

function handlers.button(name)
    if shown and name == "continue" then
        SendCommandByName("main", "open_menu", "")
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
