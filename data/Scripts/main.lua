-- The game's main script. The application starts it before the first frame
-- and it runs for the whole game: each frame it handles the commands sent
-- to it, oldest first, draws the scene and then hands the frame back with
-- Update().

local handlers = {}

-- The menu keys: releasing Escape ends the game.
function handlers.standart_action(key, state)
    if key == "escape" and state == "0" then
        KillAllTasks()
    end
end

local function HandleCommands()
    while SetNextCommand(globalObject) do
        local handler = handlers[GetCurrentCommand(globalObject)]
        if handler then
            handler(GetCurrentParams(globalObject))
        end
    end
end

-- The menu music plays, and repeats, for the whole game.
PlayMusic("menu.ogg")

-- The demo crate, pushed half a unit into the screen, where the view
-- without a camera shows it in the middle.
local crate = LoadRenderObject("crate.rdf", 20)
SetPTransformation(crate, 0, 0, 0.55, 0, 0, 0)

while true do
    HandleCommands()
    DrawDynamicObject(crate)
    Update()
end
