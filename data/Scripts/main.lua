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

-- The demo car, seen from behind and a little above and to the side. The
-- view without a camera shows only what lies within a unit of the middle of
-- the screen and up to a unit into it, so the car, four units long, shows
-- its rear: the lights, the body and a rear wheel.
local car = LoadRenderObject("buggy.rdf", 20)
SetPTransformation(car, 0.3, -0.5, 2.4, 0.45, -1.2, 0)

-- A torch stands burning at the left: pitched so that its top, and the
-- direction its flame rises in, points up the screen. Activating it starts
-- the flame's particle system.
local torch = LoadRenderObject("torch.rdf", 20)
SetPTransformation(torch, -0.6, -0.75, 0.5, 0, -1.5708, 0)
ActivateObject(torch, 200)

while true do
    HandleCommands()
    DrawDynamicObject(car)
    DrawDynamicObject(torch)
    Update()
end
