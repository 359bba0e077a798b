#include "umbrek/scene.h"

#include "umbrek/effect_scheduler.h"
#include "umbrek/glide/glide.h"
#include "umbrek/overlay_drawing.h"
#include "umbrek/point_clouds.h"
#include "umbrek/screenshot_file.h"
#include "umbrek/sound_levels.h"
#include "umbrek/vastrel/camera.h"
#include "umbrek/vastrel/data_library.h"
#include "umbrek/vastrel/engine.h"
#include "umbrek/vastrel/face_drawer.h"
#include "umbrek/vastrel/glide_device.h"
#include "umbrek/vastrel/model_file.h"
#include "umbrek/vastrel/platform.h"
#include "umbrek/vastrel/shade_modes.h"
#include "umbrek/vastrel/shade_tables.h"
#include "umbrek/vastrel/texture_manager.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

namespace umbrek {

using namespace vastrel;

namespace {

constexpr int polygonCapacity = 7000;
constexpr int materialCount = 132, textureCount = 132, shadeTableCount = 4;
constexpr int activeLightCapacity = 8;
constexpr int flareMode = 69, overlayMode = 38, replacedMode = 74;
constexpr int flareCount = 4;

// The scene's models in load order, each with the object made from it.
enum SceneModel { logoModel, rModel, tubesModel, checkerModel, spinModel, sceneModelCount };

struct ModelFile {
    const char* file;
    const char* object;
    const char* failure;
    const char* caption;
};
constexpr ModelFile modelFiles[sceneModelCount] = {
    {"zephrin.kxo", "zephrin", "cannot open zephrin file", "logo"},
    {"r.kxo", "zephrin", "cannot open r file", "logo"},
    {"tubes.kxo", "tubes", "cannot open tubes file", "tubes"},
    {"checker.kxo", "checker", "cannot open checker file", "checker"},
    {"zephrinspin.kxo", "zephrinspin", "cannot open zephrinspin file", "zephrinspin"},
};

constexpr const char* flareTextures[flareCount] = {"flare1.pcx", "flare2.pcx", "flare3.pcx",
                                                   "flare3.pcx"};

// Everything one run of the scene holds, so that a failed start and a stop
// release the same list.
struct Scene {
    bool running = false;
    bool drawing = false;
    bool glideUp = false; // the board was initialised (detection ran)
    Settings settings;
    CrtRandom random;
    EffectSchedule schedule;
    SoundLevels sound;
    float phase1 = 0, phase2 = 0, phase3 = 0;
    std::int32_t frameCount = 0;
    std::uint32_t clearColour = 0;

    Model* models[sceneModelCount] = {};
    Entity* objects[sceneModelCount] = {};
    int logoMaterial = -1, metalMaterial = -1;
    Camera* camera1 = nullptr;
    Camera* camera2 = nullptr;
    int flareMaterials[flareCount] = {-1, -1, -1, -1};
    Model* flareModels[flareCount] = {};
    Entity* flares[flareCount] = {};
    int overlayMaterial = -1;
    Model* overlayModel = nullptr;
    Entity* overlay = nullptr;
    TubeCloud tubeCloud{};
    StarField starField{};
    LightList lights;
    Viewport viewport;
    std::string hostFolder;
};

Scene& scene() {
    static Scene state;
    return state;
}

// The message box the engine's failures go to, set at each start.
void (*messageBoxHook)(const char*, const char*) = nullptr;

void showMessage(const char* text, const char* caption) {
    if (messageBoxHook) messageBoxHook(text, caption);
}

// A start step failed: its message is shown, and the start unwinds.
struct StartFailure {};

[[noreturn]] void fail(const char* text, const char* caption) {
    showMessage(text, caption);
    throw StartFailure{};
}

// A device step that raised a fatal error has shown its own message.
void failIfFatal() {
    if (KX_FatalRaised()) throw StartFailure{};
}

int findMaterial(const char* name, const char* caption) {
    const int number = KX_FindMaterial(name);
    if (number < 0) {
        const std::string text = std::string("Cannot find material ") + name;
        fail(text.c_str(), caption);
    }
    return number;
}

int loadTexture(const char* name, const char* failure) {
    const int number = engine().device.loadTexture(name);
    failIfFatal();
    if (number < 0) {
        const std::string text = failure ? failure : std::string("Cannot open texture ") + name;
        fail(text.c_str(), name);
    }
    return number;
}

void loadModels(Scene& s) {
    for (int i = 0; i < sceneModelCount; ++i) {
        const ModelFile& f = modelFiles[i];
        s.models[i] = KX_LoadKXO(f.file, 0);
        failIfFatal();
        if (!s.models[i]) fail(f.failure, f.caption);
        s.objects[i] = KX_CreateEntity(s.models[i], f.object);
        if (!s.objects[i]) fail(f.failure, f.caption);
        switch (i) {
        case logoModel:
            KX_RotateEntity(s.objects[i], 0, 180, 0);
            if ((s.logoMaterial = KX_FindMaterial("zephrinmap")) < 0)
                fail("Cannot find zephrin logo material", f.caption);
            break;
        case rModel:
            findMaterial("rmat", f.file);
            findMaterial("donutmat", f.file);
            break;
        case tubesModel: s.metalMaterial = findMaterial("metal.pcx", f.file); break;
        case spinModel: findMaterial("zephrinspin.pcx", f.file); break;
        default: break;
        }
    }
}

Camera* newCamera(float x, float y, float z, float tx, float ty, float tz) {
    Camera* camera = KX_InitCamera(KX_NewCamera());
    if (!camera) fail("Generic out of memory message", "camera");
    KX_SetCameraPosition(camera, x, y, z);
    KX_SetCameraTarget(camera, tx, ty, tz);
    // Target mode: the camera keeps looking at its target while it moves.
    KX_SetCameraFlags(camera, cameraTargetMode);
    KX_SetCamera(camera);
    return camera;
}

// A sprite of MATERIAL's texture as an object, scaled by SCALE on each axis.
void makeSprite(int material, float scale, Model*& model, Entity*& object, const char* name) {
    model = KX_MakeSpriteModel(material);
    if (!model) fail("Cannot make sprite", name);
    object = KX_CreateEntity(model, name);
    if (!object) fail("Cannot make sprite", name);
    KX_SetEntityScale(object, scale, scale, scale);
}

int addMaterial(const Material& m, const char* caption) {
    const int number = KX_AddMaterial(m);
    if (number < 0) fail("Material array is full", caption);
    // Distance switching stays off; each distance material is the material itself.
    for (int slot = 1; slot <= 4; ++slot)
        KX_SetMaterialDistanceMaterial(engine().materials[std::size_t(number)], slot, number);
    return number;
}

void makeFlares(Scene& s) {
    int textures[flareCount];
    for (int i = 0; i < flareCount; ++i) textures[i] = loadTexture(flareTextures[i], nullptr);
    Material flare{};
    KX_SetMaterialName(flare, "flare sprite");
    KX_SetMaterialShadeMode(flare, flareMode);
    KX_SetMaterialColour(flare, 0, 0, 255);
    KX_SetMaterialAlpha(flare, 255);
    for (int i = 0; i < flareCount; ++i) {
        const std::string name = "flare " + std::to_string(i);
        KX_SetMaterialName(flare, name.c_str());
        KX_SetMaterialTexture(flare, textures[i]);
        s.flareMaterials[i] = addMaterial(flare, flareTextures[i]);
        // The star field's flare is ten times smaller again.
        makeSprite(s.flareMaterials[i], i == 2 ? 0.01f : 0.1f, s.flareModels[i], s.flares[i],
                   "Flare Sprite");
    }
}

void makeOverlay(Scene& s) {
    Material overlay{};
    KX_SetMaterialName(overlay, "overlay sprite1");
    KX_SetMaterialShadeMode(overlay, overlayMode);
    KX_SetMaterialColour(overlay, 255, 255, 255);
    KX_SetMaterialAlpha(overlay, 50);
    KX_SetMaterialTexture(overlay, loadTexture("black.pcx", "Can't open HUD texture"));
    KX_SetMaterialName(overlay, "hud0");
    s.overlayMaterial = addMaterial(overlay, "black.pcx");
    makeSprite(s.overlayMaterial, 1, s.overlayModel, s.overlay, "overlay");
}

void setUpScene(Scene& s, const SceneStart& start) {
    if (start.libraryBytes)
        KX_SetDataLibraryBytes(start.libraryBytes, start.librarySize);
    else
        KX_SetDataLibrary(libraryFileName);
    loadModels(s);
    s.camera1 = newCamera(0, 30, 500, 0, 30, 0);
    makeFlares(s);
    makeTubeCloud(s.tubeCloud);
    makeStarField(s.starField, s.random);
    s.camera2 = newCamera(0, 0, 0, 0, 0, 0);
    makeOverlay(s);
    installOverlayStateSetup(replacedMode);
    // Seeded only now: the star field above came from the generator's
    // unseeded state, so it is the same field at every start.
    s.random.seed = start.randomSeed;
    fillEffectSlots(s.schedule, s.settings, s.random);
    engine().device.clearScreen();
    failIfFatal();
    KX_SetDataLibrary(nullptr);
}

void startEngine(Scene& s, const SceneStart& start) {
    if (KX_InitEngine(polygonCapacity) != resultSuccess)
        fail("Generic out of memory message", "Engine");
    s.glideUp = true;
    if (KX_DetectGlide() != glideDeviceId) fail("Cannot find a Glide board", "Glide");
    KX_InstallGlide();
    if (KX_AllocMaterials(materialCount) != resultSuccess ||
        engine().device.allocTextures(textureCount) != resultSuccess ||
        KX_AllocShadeTables(shadeTableCount) != resultSuccess)
        fail("Generic out of memory message", "Engine");
    glideDevice().window = start.glideWindow;
    if (engine().device.openVideoMode(screenWidth, screenHeight, 60) != 1)
        fail("Cannot set video mode", "Glide");
    failIfFatal();
    if (KX_NewViewport(s.viewport, 0, 0, screenWidth - 1, screenHeight - 1, 8) != resultSuccess)
        fail("Generic out of memory message", "Viewport");
    KX_SetViewport(s.viewport);
    setUpScene(s, start);
    if (KX_InitLightList(s.lights, 1) != resultSuccess ||
        KX_InitLightList(engine().activeLights, activeLightCapacity) != resultSuccess)
        fail("Generic out of memory message", "Lights");
    KX_SetLightPosition(s.lights, 0, 0, 0, 400);
    KX_EnableLight(s.lights, 0);
    KX_SetLightType(s.lights, 0, 0);
    KX_SetLightColour(s.lights, 0, 1, 1, 1);
    KX_SetLightIntensity(s.lights, 0, 1);
    engine().device.setRenderBuffer(GR_BUFFER_BACKBUFFER);
    s.clearColour = engine().device.packRgb(0, 0, 0);
    engine().device.setColour(s.clearColour);
    failIfFatal();
}

template <class T>
void release(T*& record, void (*free)(T*)) {
    free(record);
    record = nullptr;
}

// Frees whatever the scene and the engine hold and shuts the board down;
// used by a failed start as by the stop, so both leave nothing behind.
void releaseScene(Scene& s) {
    Engine& e = engine();
    for (int i = 0; i < sceneModelCount; ++i) {
        release(s.objects[i], KX_FreeEntity);
        release(s.models[i], KX_FreeModel);
    }
    for (int i = 0; i < flareCount; ++i) {
        release(s.flares[i], KX_FreeEntity);
        release(s.flareModels[i], KX_FreeModel);
    }
    release(s.overlay, KX_FreeEntity);
    release(s.overlayModel, KX_FreeModel);
    release(s.camera1, KX_FreeCamera);
    release(s.camera2, KX_FreeCamera);
    // Cameras that model files added to the engine's list.
    while (Camera* camera = e.cameras) KX_FreeCamera(camera);
    KX_FreeViewport(s.viewport);
    s.viewport = Viewport{};
    s.lights = LightList{};
    e.activeLights = LightList{};
    KX_FreeMaterials();
    KX_FreeTextures();
    KX_FreeShadeTables();
    KX_FreeEngineBuffers();
    KX_SetDataLibrary(nullptr);
    if (s.glideUp) KX_ShutdownGlide();
    s.glideUp = false;
    // Freeing the textures and shutting the board down undid what they set
    // up; what is left is the window the scene gave the board and the face
    // the shade context last pointed at, which belonged to the freed models.
    glideDevice().window = 0;
    setCurrentFace(nullptr, -1);
    KX_ClearFatal();
    s.logoMaterial = s.metalMaterial = s.overlayMaterial = -1;
    for (int& m : s.flareMaterials) m = -1;
    s.running = s.drawing = false;
}

// Draws OBJECT at each point of CLOUD.
template <class Cloud>
void drawAtEach(Entity* object, const Cloud& cloud) {
    for (const Vec3& p : cloud) {
        KX_SetEntityPosition(object, p.x, p.y, p.z);
        KX_TransformEntity(object);
        KX_DrawEntity(object);
        if (KX_FatalRaised()) return;
    }
}

void viewFrom(Camera* camera, float x, float y, float z) {
    KX_SetCameraPosition(camera, x, y, z);
    camera->aspect = float(screenWidth) / float(screenHeight);
    KX_SetCamera(camera);
}

std::uint8_t opacity(float fade, std::int32_t level) {
    return std::uint8_t(fade * float(level));
}

void drawEffect(Scene& s, int effect, float fade) {
    std::vector<Material>& materials = engine().materials;
    const SoundLevels& sound = s.sound;
    switch (effect) {
    case 0: // star field
        viewFrom(s.camera2, 0, 0, 400);
        moveStarField(s.starField, sound.sum);
        drawAtEach(s.flares[2], s.starField);
        break;
    case 1: // flare tube
        KX_SetMaterialAlpha(materials[std::size_t(s.flareMaterials[1])],
                            opacity(fade, sound.alpha));
        viewFrom(s.camera2, 100 * std::sin(s.phase3), 100 * std::cos(s.phase1),
                 100 * std::sin(s.phase2));
        drawAtEach(s.flares[1], s.tubeCloud);
        break;
    case 3: { // logo
        KX_SetMaterialAlpha(materials[std::size_t(s.logoMaterial)],
                            opacity(fade, std::min(sound.sum / 8, 128)));
        Entity* logo = s.objects[logoModel];
        KX_SetEntityRotation(logo, 0, 180, 0);
        viewFrom(s.camera1, 0, 30, 550 - float(s.sound.bassLevel) * 1.5f);
        KX_TransformEntity(logo);
        KX_DrawEntity(logo);
        break;
    }
    case 5: { // tubes
        KX_SetMaterialAlpha(materials[std::size_t(s.metalMaterial)],
                            opacity(fade, std::min(sound.sum / 2, 255)));
        viewFrom(s.camera2, 0, -60, 400 + 100 * std::sin(float(s.frameCount) * 0.015f));
        Entity* tubes = s.objects[tubesModel];
        const int segments = tubes->model ? int(tubes->model->segments.size()) : 0;
        for (int l = 0; l < segments; ++l)
            KX_SetSegmentRotation(
                tubes, l, std::sin(float(s.frameCount + 4 * l) * 0.033f) * float(10 * l + 180), 0,
                0);
        KX_RotateEntity(tubes, 0.3f, 0.7f, std::sin(float(s.frameCount) * 0.0015f) * 1.9f);
        KX_TransformEntity(tubes);
        KX_DrawEntity(tubes);
        break;
    }
    default: break; // nothing is drawn
    }
}

// The frame's steps; false when a fatal error abandoned it.
bool drawFrame(Scene& s, const std::uint8_t* spectrum) {
    Engine& e = engine();
    DeviceOps& device = e.device;
    device.setClipWindow(0, 0, screenWidth - 1, screenHeight - 1);
    device.setRenderBuffer(GR_BUFFER_BACKBUFFER);
    KX_BeginFrame();
    KX_SetViewport(s.viewport);
    device.setColour(s.clearColour);
    // Depth only: the colour buffer keeps the last picture, which the
    // overlay darkens a little so that moving things leave trails.
    device.clearViewportAll(&s.viewport);
    if (KX_FatalRaised()) return false;
    grDepthMask(FXFALSE);
    device.setClipWindow(0, 0, screenWidth - 1, screenHeight - 1);
    drawEntityScreenRect(s.overlay, 0, 0, float(screenWidth), float(screenHeight), 1.0f);
    grDepthMask(FXTRUE);
    if (KX_FatalRaised()) return false;

    analyseSound(s.sound, spectrum, s.settings.motionBlur);
    KX_SetMaterialAlpha(e.materials[std::size_t(s.overlayMaterial)],
                        std::uint8_t(s.sound.overlayOpacity));
    s.phase1 += 0.013f, s.phase2 += 0.027f, s.phase3 += 0.039f;
    if (++s.frameCount > 1000000) s.frameCount = 0;

    KX_SetCamera(s.camera1);
    const Vec3 eye = s.camera1->position;
    KX_SetLightPosition(s.lights, 0, eye.x, eye.y, eye.z);
    KX_ActivateLights(s.lights);

    for (int k = 0; k < s.schedule.count; ++k) {
        const float fade = advanceEffectSlot(s.schedule, k, s.settings, s.random);
        drawEffect(s, s.schedule.slots[std::size_t(k)].effect, fade);
        if (KX_FatalRaised()) return false;
    }
    device.flushTriangles();
    if (KX_FatalRaised()) return false;
    device.swapBuffers(0);
    return !KX_FatalRaised();
}

void noMessageBox(const char*, const char*) {}

} // namespace

int startScene(const SceneStart& start) {
    Scene& s = scene();
    if (s.running) stopScene();
    s.settings = start.settings;
    clampSettings(s.settings);
    s.random = CrtRandom{};
    s.sound = SoundLevels{};
    s.phase1 = s.phase2 = s.phase3 = 0;
    s.frameCount = 0;
    messageBoxHook = start.messageBox;
    // Engine failures (a lost surface, say) reach the same box.
    platformHooks().messageBox = start.messageBox ? start.messageBox : noMessageBox;
    KX_ClearFatal();
    if (start.pluginPath) {
        KX_RecordStartPath(start.pluginPath);
        KX_SwitchToStartPath();
        s.hostFolder = engine().userPath;
    } else {
        s.hostFolder = platformHooks().currentFolder();
    }
    try {
        startEngine(s, start);
    } catch (const StartFailure&) {
        releaseScene(s);
        return 1;
    }
    s.running = true;
    return 0;
}

int renderSceneFrame(const std::uint8_t* spectrumRow0, const std::int8_t*) {
    Scene& s = scene();
    if (!s.running || s.drawing) return 0;
    s.drawing = true;
    shadeModes()[flareMode].deferred = true;
    shadeModes()[overlayMode].deferred = true;
    // A frame abandoned by a fatal error clears the mark too, or every later
    // frame would be skipped; the engine's own frame start clears the error.
    drawFrame(s, spectrumRow0);
    s.drawing = false;
    return 0;
}

void stopScene() {
    Scene& s = scene();
    releaseScene(s);
}

bool sceneRunning() {
    return scene().running;
}

const Settings& sceneSettings() {
    return scene().settings;
}

EffectSchedule& sceneEffects() {
    return scene().schedule;
}

std::string sceneHostFolder() {
    return scene().hostFolder;
}

int saveScreenshot() {
    if (!scene().running) return 0;
    std::uint16_t* pixels = engine().device.readRegion(0, 0, screenWidth - 1, screenHeight - 1);
    KX_ClearFatal();
    if (!pixels) return 0;
    int number = 0;
    const std::string name = nextScreenshotName("", &number);
    const bool written = writeTga(name, pixels, screenWidth, screenHeight);
    std::free(pixels);
    return written ? number : 0;
}

} // namespace umbrek
