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
    trialLaps = 2,
    levelTime = 240,
    menuMusic = "menu.ogg",
    raceMusic = "race.ogg",
    introVideo = "intro.avi",
    -- The video's length: the menu follows when it has played.
    introSeconds = 5,
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
-- A time trial: the player's car alone on the level against the ghost of
-- the profile's best run; the best lap the profile held when it started.
local timeTrial = false
local trialBest = ""
local trialDone = false

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

-- The intro plays on its own page, whose texture is the video; the page has
-- no script, so the main script draws it each frame the intro lasts. Without
-- the video or the page the game opens on the menu.
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

-- The sun's lens flare of a race; the level draws it only while Lens Flare
-- is on in Options.
local function SwitchOnLensFlare()
    SetLensFlare(0, 0, 0)
end

-- The race is loaded over two frames: the menu goes in the first, so that
-- the loading screen follows it, and the level in the second.
local function LeaveMenuForRace()
    DeactivateInterface(pages.menu)
    StopPlayingMusic()
    InitWarning(5)
    StopGlobalTimer()
end

local function ShowRaceDisplay()
    ActivateInterface(pages.hud)
    ActivateInterface(pages.racemsg)
end

-- The cars wait for "go"; the race is won by finishing first, within the
-- level's clock.
local function SetRaceRules()
    LockPlayers(true)
    SetPlaceToFinish(0)
    SetLevelTime(Demo.levelTime)
end

-- The profile's best lap of the level being raced, "--:--:--" for none.
local function BestLapText()
    local minutes, seconds, hundredths = GetBestTimeAttack()
    if minutes + seconds + hundredths == 0 then
        return "--:--:--"
    end
    return string.format("%02d:%02d:%02d", minutes, seconds, hundredths)
end

local function LoadRace()
    kills = 0
    place = ""
    shownPlace = ""
    ClearGameData()
    SetNumRounds(timeTrial and Demo.trialLaps or Demo.laps)
    InitWarning(30)
    if not InitLevel(Demo.level, false, timeTrial) then
        error("the level " .. Demo.level .. " could not be loaded", 0)
    end
    SwitchOnLensFlare()
    SetFOV(GetFov1())
    trialBest = BestLapText()
    trialDone = false
    InitWarning(90)
    -- Before StartLevel: it sends the display its first commands.
    ShowRaceDisplay()
    StartLevel()
    SetRaceRules()
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

-- The times of the laps the player completed, "--:--:--" for none.
local function LapTimesText()
    local _, clocks = UpdateRoundsTime()
    local times = {}
    for lap = 1, math.min(GetCurrentRound() - 1, GetRoundsNumber()) do
        local i = 4 * lap - 3
        times[lap] = ClockText(clocks[i], clocks[i + 1], clocks[i + 2])
    end
    return #times > 0 and table.concat(times, "  ") or "--:--:--"
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

-- The level, its display and its camera go.
local function TakeDownRace()
    SetLevelStarted(false)
    ClearBonuses()
    StopLevel()
    DeleteLevel()
    DeactivateInterface(pages.hud)
    DeactivateInterface(pages.racemsg)
    SetDefaultCamera()
end

-- Whether the player drove every lap: placed in a race ("1st" to "3rd"), or
-- a time trial's run done.
local function CompletedRace()
    if timeTrial then
        return trialDone
    end
    return string.match(place, "^%d") ~= nil
end

-- A race the player completed offers its best lap to the record table of
-- its kind (races 1, time trials 2); a lap that enters it goes into the
-- score file. The results page shows the table.
local function RecordBestLap()
    local records = timeTrial and 2 or 1
    local entered = CompletedRace() and CheckPlayerRecords(records)
    if entered then
        SaveScore()
    end
    SendCommandByName("results", "show_records", records .. "," .. tostring(entered))
end

-- The place (as the race messages heard it) and the times taken when the
-- race ended go to the results page; the level is taken down first.
local function ShowResults()
    TakeDownRace()
    SaveGame()
    Show("results")
    RecordBestLap()
    if timeTrial then
        SendCommandByName("results", "show_trial", place .. "," .. raceTimes)
    else
        SendCommandByName("results", "show_results", place .. "," .. raceTimes)
    end
    PlayMusic(Demo.menuMusic)
end

local function EndRace()
    if screen == "race" or screen == "countdown" then
        screen = "ending"
        clock = 0
        raceTimes = timeTrial and LapTimesText() .. "," .. BestLapText() or RaceTimes()
    end
end

-- A race left before its end is abandoned: nothing of it is saved.
local function AbandonRace()
    TakeDownRace()
    Show("menu")
    PlayMusic(Demo.menuMusic)
end

-- The game shows a race the command line started with its display and
-- counts it down instead of opening on the menu. The level started before
-- the display did, so the display is filled now.
local function TakeOverStartedRace()
    StopPlayingMusic()
    SetNumRounds(Demo.laps)
    SwitchOnLensFlare()
    ShowRaceDisplay()
    SendCommandByName("gamemenu", "init_game_interface", "")
    SetRaceRules()
    StartCountdown()
end

local handlers = {}

-- Escape ends the game from the menu, leaves a race under way for it and
-- goes back to it from elsewhere.
function handlers.standart_action(key, state)
    if key ~= "escape" or state ~= "0" then
        return
    end
    if screen == "menu" then
        KillAllTasks()
    elseif screen == "countdown" or screen == "race" then
        RaceStep(AbandonRace)
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

local function LeaveMenuToLoad(trial)
    if screen == "menu" and RaceStep(LeaveMenuForRace) then
        timeTrial = trial
        screen = "starting"
    end
end

function handlers.start_race()
    LeaveMenuToLoad(false)
end

function handlers.start_time_trial()
    LeaveMenuToLoad(true)
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

local endNotPlaced = EndUnplaced("Not placed")

-- A time trial's run ends when its laps are done; the profile's best lap
-- changed when the run beat it.
function handlers.race_over()
    if timeTrial and place == "" then
        place = BestLapText() ~= trialBest and "New best lap!" or "Best lap not beaten"
        trialDone = true
    end
    endNotPlaced()
end
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
        else
            UpdateInterface(intro)
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
-- A race the command line started is already running on the first frame
-- (only a loaded level answers IsRaceStarted); it keeps its camera.
local raceStarted = IsRaceStarted() ~= nil
if not raceStarted then
    SetDefaultCamera()
end

-- The menu music plays, and repeats, outside the race.
PlayMusic(Demo.menuMusic)

-- The menu scene, beside the menu's panel, seen by the default camera at
-- the origin, which looks along x with z up: a point (x, y, z) of the world
-- lies y to the right, z up and x into the screen. The demo car turns slowly
-- on a turntable over its shadow, a torch burns at its left, and a wall
-- with the background picture closes the view.
local backdrop = LoadRenderObject("backdrop.rdf", 20)
SetPTransformation(backdrop, 40, 0, 0, 0, 0, 0)
local car = LoadRenderObject("buggy.rdf", 20)
local shadow = LoadRenderObject("shadow.rdf", 20)
local turntable = 2.2
local turntableSpeed = 0.35

-- The torch stands upright; activating it starts the flame's particle
-- system.
local torch = LoadRenderObject("torch.rdf", 20)
SetPTransformation(torch, 3.5, -0.1, -0.55, 0, 0, 0)
ActivateObject(torch, 200)

local function DrawMenuScene(delta)
    turntable = (turntable + delta * turntableSpeed) % (2 * math.pi)
    SetPTransformation(car, 9, 2.6, -1.6, 0, 0, turntable)
    SetPTransformation(shadow, 9, 2.6, -2.74, 0, 0, turntable)
    DrawDynamicObject(backdrop)
    DrawDynamicObject(shadow)
    DrawDynamicObject(car)
    DrawDynamicObject(torch)
end

if raceStarted then
    RaceStep(TakeOverStartedRace)
elseif not PlayIntro() then
    Show("menu")
end

while true do
    HandleCommands()
    local delta = GetDeltaTime()
    Step(delta)
    if screen == "menu" or screen == "options" then
        DrawMenuScene(delta)
    end
    Update()
end
