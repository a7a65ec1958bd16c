-- The results page's script: shows the place, the race time and the best
-- lap the main script sends with "show_results", or a time trial's verdict,
-- lap times and the profile's best lap with "show_trial", and the record
-- table "show_records" names; Enter on "continue" or any key goes back to
-- the main menu.

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

local recordTitles = {"Race records", "Time trial records"}
local recordLines = 7

-- The table's lines from the best, "1. Name  01:02:03"; lines nobody has
-- set yet stay empty.
function handlers.show_records(records, entered)
    local title = recordTitles[tonumber(records)] or "Records"
    SetText(page, "records", entered == "true" and title .. ": your lap entered!" or title)
    local lines = GetRecords(tonumber(records) or 1)
    for i = 1, recordLines do
        local line = lines[i]
        local shown = line and line[1] ~= "" and string.format("%d. %s  %s", i, line[1], line[2]) or ""
        SetText(page, "record" .. i, shown)
    end
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
