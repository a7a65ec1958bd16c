-- The game's main script. The application starts it before the first frame
-- and it runs for the whole game: it shows the intro video when the game has
-- one, then the main menu, and switches between the menu, the options, the
-- race and its results. Each frame it handles the commands sent to it,
-- oldest first, draws the scene and then hands the frame back with Update().

-- What a race is made of; a loose demo_test.lua in the game folder may
-- change these (and set DemoTest.OnRaceStarted, called at the start, and
-- DemoTest.OnRaceFrame, called each frame of the race) for automatic runs.
Demo = {
    level = "level1",
    laps = 2,
    levelTime = 240,
    menuMusic = "menu.ogg",
    raceMusic = "race.ogg",
    introVideo = "intro.avi",
    introSeconds = 6,
    countdownSeconds = 3,
    resultSeconds = 3,
    car = "buggy",
    profile = "Player",
}
DemoTest = {}
local override = io.open("demo_test.lua", "r")
if override then
    override:close()
    dofile("demo_test.lua")
end

-- Each page is made the first time it is needed and kept for the game.
local pageFiles = {
    menu = {"mainmenu", 0},
    options = {"options", 0},
    results = {"results", 0},
    hud = {"hud", 0},
    racemsg = {"racemsg", 2},
}
local pages = setmetatable({}, {
    __index = function(made, name)
        local page = CreateInterface(pageFiles[name][1], pageFiles[name][2])
        rawset(made, name, page)
        return page
    end,
})

-- "intro", "menu", "options", "starting", "countdown", "race", "ending" or
-- "results".
local screen = "menu"
local clock = 0
local intro = nil
local place = ""
local raceTimes = ""
local shownPlace = ""
local kills = 0

-- Only pages already made can be showing.
local function Hide(name)
    if rawget(pages, name) then
        DeactivateInterface(pages[name])
    end
end

local function Show(name)
    Hide("menu")
    Hide("options")
    Hide("results")
    ActivateInterface(pages[name])
    screen = name
end

local function OpenMenu()
    if intro then
        StopVideo()
        DeactivateInterface(intro)
        intro = nil
    end
    Show("menu")
end

-- The intro plays on its own page, whose texture is the video; without the
-- video or the page the game opens on the menu.
local function PlayIntro()
    local video = "Data/Video/" .. Demo.introVideo
    if not (IsFileExists(video) and IsFileExists("Data/Interface/intro1024.int")) then
        return false
    end
    intro = CreateInterface("intro", 0)
    ActivateInterface(intro)
    PlayVideo(Demo.introVideo, true)
    screen = "intro"
    clock = 0
    return true
end

-- The race is loaded over two frames: the menu goes in the first, so that
-- the loading screen follows it, and the level in the second.
local function LeaveMenuForRace()
    DeactivateInterface(pages.menu)
    StopPlayingMusic()
    InitWarning(5)
    StopGlobalTimer()
end

local function LoadRace()
    kills = 0
    place = ""
    shownPlace = ""
    ClearGameData()
    SetNumRounds(Demo.laps)
    InitWarning(30)
    if not InitLevel(Demo.level, false, false) then
        error("the level " .. Demo.level .. " could not be loaded", 0)
    end
    SetFOV(GetFov1())
    InitWarning(90)
    -- Before StartLevel: it sends the display its first commands.
    ActivateInterface(pages.hud)
    ActivateInterface(pages.racemsg)
    StartLevel()
    LockPlayers(true)
    SetPlaceToFinish(0)
    SetLevelTime(Demo.levelTime)
    StartGlobalTimer()
end

-- A step of the race that needs the level: when it fails the game goes back
-- to the menu and says why.
local function RaceStep(step)
    local ok, message = pcall(step)
    if not ok then
        print("The race cannot go on: " .. tostring(message))
        Hide("hud")
        Hide("racemsg")
        PlayMusic(Demo.menuMusic)
        Show("menu")
    end
    return ok
end

local function Go()
    LockPlayers(false)
    SetUpdateTime(true)
    SetLevelStarted(true)
    PlayMusic(Demo.raceMusic)
    if DemoTest.OnRaceStarted then
        DemoTest.OnRaceStarted()
    end
end

-- Each whole second left of the countdown, the first one as soon as the
-- level stands, and then "go" beep and show.
local function Announce(text)
    PlaySpecialSound("beep")
    SendCommandByName("game_interface", "countdown", tostring(text))
end

local function StartCountdown()
    screen = "countdown"
    clock = 0
    Announce(Demo.countdownSeconds)
end

local function Countdown(delta)
    local before = math.ceil(Demo.countdownSeconds - clock)
    clock = clock + delta
    local left = math.ceil(Demo.countdownSeconds - clock)
    if left == before then
        return
    end
    if left > 0 then
        Announce(left)
    else
        Announce("go")
        screen = "race"
        RaceStep(Go)
    end
end

local function ClockText(minutes, seconds, hundredths)
    return string.format("%02d:%02d:%02d", minutes, seconds, hundredths)
end

local function HundredthsText(hundredths)
    return ClockText(math.floor(hundredths / 6000), math.floor(hundredths / 100) % 60, hundredths % 100)
end

-- The race time and the best lap from the lap clocks, "time,best". The race
-- time adds up the laps the race counted (the lap under way too when the
-- player did not finish); the best lap is the quickest completed one, or
-- "--:--:--" when the player completed none.
local function RaceTimes()
    local count, clocks = UpdateRoundsTime()
    local current = GetCurrentRound()
    local total, best = 0, nil
    for lap = 1, math.min(current, GetRoundsNumber(), count / 4) do
        local i = 4 * lap - 3
        local hundredths = (clocks[i] * 60 + clocks[i + 1]) * 100 + clocks[i + 2]
        total = total + hundredths
        if lap < current and hundredths > 0 and (best == nil or hundredths < best) then
            best = hundredths
        end
    end
    return HundredthsText(total) .. "," .. (best and HundredthsText(best) or "--:--:--")
end

-- The display shows the player's place among the cars of the race, "2/4"
-- with three computer cars; it hears the place when it changes.
local function SendPlace(number)
    local text = number .. "/" .. (GetAICount() + 1)
    if text ~= shownPlace then
        shownPlace = text
        SendCommandByName("gamemenu", "hud_place", text)
    end
end

-- The player's place in the running race: one more than the computer cars
-- the engine ranks ahead of the player (the ranking names the computer cars
-- by their order in the level, from "0", and the player "10"; a tie goes to
-- the player, so the place the race ends with comes from the race messages).
local function ShowPlace()
    local cars = GetAICount()
    local ahead = 0
    for _, id in ipairs(SetPlayersPanel() or {}) do
        if id == "10" then
            break
        end
        if tonumber(id) < cars then
            ahead = ahead + 1
        end
    end
    SendPlace(ahead + 1)
end

-- The place (as the race messages heard it) and the times taken when the
-- race ended go to the results page; the level is taken down first.
local function ShowResults()
    SetLevelStarted(false)
    ClearBonuses()
    StopLevel()
    DeleteLevel()
    DeactivateInterface(pages.hud)
    DeactivateInterface(pages.racemsg)
    SaveGame()
    SetDefaultCamera()
    Show("results")
    SendCommandByName("results", "show_results", place .. "," .. raceTimes)
    PlayMusic(Demo.menuMusic)
end

local function EndRace()
    if screen == "race" or screen == "countdown" then
        screen = "ending"
        clock = 0
        raceTimes = RaceTimes()
    end
end

local handlers = {}

-- Escape ends the game from the menu and goes back to it from elsewhere.
function handlers.standart_action(key, state)
    if key ~= "escape" or state ~= "0" then
        return
    end
    if screen == "menu" then
        KillAllTasks()
    elseif screen == "intro" or screen == "options" or screen == "results" then
        OpenMenu()
    end
end

function handlers.any_key()
    if screen == "intro" then
        OpenMenu()
    end
end

function handlers.open_options()
    Show("options")
end

function handlers.open_menu()
    OpenMenu()
end

function handlers.start_race()
    if screen == "menu" and RaceStep(LeaveMenuForRace) then
        screen = "starting"
    end
end

function handlers.place(text)
    place = text
    local number = tonumber(string.match(text, "^%d"))
    if number then
        SendPlace(number)
    end
end

-- The camera key switches the race camera between its three views (it does
-- nothing while no level is loaded).
function handlers.key_action(action, state)
    if action == "camera" and state == "1" then
        ChangeGameCamera()
    end
end

-- A rival's script reports its car wrecked, with where it stands; the
-- display counts the wrecks of the race.
function handlers.rival_wrecked(x, y, z)
    Explosion("explosion", x, y, z)
    kills = kills + 1
    SetKills(kills)
end

-- A race that ends before the player places says why on the results page
-- (a place heard later still replaces it).
local function EndUnplaced(reason)
    return function()
        if place == "" then
            place = reason
        end
        EndRace()
    end
end

handlers.race_over = EndUnplaced("Not placed")
handlers.level_failed = EndUnplaced("Out of time")
handlers.player_wrecked = EndUnplaced("Wrecked")

local function HandleCommands()
    while SetNextCommand(globalObject) do
        local handler = handlers[GetCurrentCommand(globalObject)]
        if handler then
            handler(GetCurrentParams(globalObject))
        end
    end
end

-- One frame of whatever the screen is doing.
local function Step(delta)
    if screen == "intro" then
        clock = clock + delta
        if clock >= Demo.introSeconds then
            OpenMenu()
        end
    elseif screen == "starting" then
        if RaceStep(LoadRace) then
            StartCountdown()
        end
    elseif screen == "countdown" then
        ShowPlace()
        Countdown(delta)
    elseif screen == "race" then
        ShowPlace()
        if DemoTest.OnRaceFrame then
            DemoTest.OnRaceFrame()
        end
    elseif screen == "ending" then
        clock = clock + delta
        if clock >= Demo.resultSeconds and RaceStep(ShowResults) then
            screen = "results"
        end
    end
end

-- The player's game: the difficulty coefficients, the starting equipment,
-- the car, a human driver on the light side and no extra traffic, then the
-- profile of the first save slot, which later saves keep writing; the first
-- run starts a profile and saves it in the first free slot.
SetDifficult(false)
InitPlayer()
SetPlayerName(Demo.car)
-- The player's car is a human's (not on the dark side): it hears the race
-- messages of its pickups and takes the engine of its equipment.
SetPlayerType(false)
SetLevelTransportCount(0)
LoadGame("save0.sav")
if GetProfileName() == "" then
    SetProfileName(Demo.profile)
    SaveGame()
end
if DemoTest.OnProfileLoaded then
    DemoTest.OnProfileLoaded()
end
SetDefaultCamera()

-- The menu music plays, and repeats, outside the race.
PlayMusic(Demo.menuMusic)

-- The demo car behind the menu, seen from behind and a little above and to
-- the side by the default camera, which looks along x with z up: a point
-- (x, y, z) of the world lies y to the right, z up and x into the screen.
local car = LoadRenderObject("buggy.rdf", 20)
SetPTransformation(car, 2.4, 0.3, -0.5, 0.3367, -0.1583, 1.9938)

-- A torch stands burning at the left, its top and the direction its flame
-- rises in pointing up the screen. Activating it starts the flame's particle
-- system.
local torch = LoadRenderObject("torch.rdf", 20)
SetPTransformation(torch, 0.5, -0.6, -0.75, 0, 0, 1.5708)
ActivateObject(torch, 200)

if not PlayIntro() then
    Show("menu")
end

while true do
    HandleCommands()
    Step(GetDeltaTime())
    if screen == "menu" or screen == "options" then
        DrawDynamicObject(car)
        DrawDynamicObject(torch)
    end
    Update()
end
