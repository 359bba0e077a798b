// Cameras: the camera list and the view and projection matrices.
#include "umbrek/vastrel/camera.h"

#include "umbrek/vastrel/engine.h"

#include <cctype>
#include <cmath>
#include <new>

namespace umbrek::vastrel {

Camera* KX_NewCamera() {
    return new (std::nothrow) Camera();
}

Camera* KX_InitCamera(Camera* camera) {
    if (!camera) return nullptr;
    camera->position = {0, 0, 256};
    camera->target = {0, 0, 0};
    camera->roll = 0;
    camera->distance = 500;
    camera->up = {0, 1, 0};
    camera->aspect = 1.6f;
    camera->fov = 1.0471667f;
    camera->nearDistance = 1.0f;
    camera->farDistance = 65535.0f;
    return camera;
}

void KX_FreeCamera(Camera* camera) {
    if (!camera) return;
    // A freed camera must not stay reachable from the engine.
    Engine& e = engine();
    for (Camera** link = &e.cameras; *link; link = &(*link)->next)
        if (*link == camera) {
            *link = camera->next;
            break;
        }
    if (e.camera == camera) e.camera = nullptr;
    delete camera;
}

void KX_AddCamera(Camera* camera) {
    if (!camera) return;
    for (char& c : camera->name) c = char(std::toupper(static_cast<unsigned char>(c)));
    Camera** link = &engine().cameras;
    for (; *link; link = &(*link)->next)
        if (*link == camera) return; // already listed: adding twice would make a cycle
    camera->next = nullptr;
    *link = camera;
}

Camera* KX_FirstCamera() {
    return engine().cameras;
}

void KX_SetCameraPosition(Camera* camera, float x, float y, float z) {
    if (camera) camera->position = {x, y, z};
}

void KX_SetCameraTarget(Camera* camera, float x, float y, float z) {
    if (camera) camera->target = {x, y, z};
}

void KX_SetCameraUp(Camera* camera, float x, float y, float z) {
    if (camera) camera->up = {x, y, z};
}

void KX_SetCameraFlags(Camera* camera, std::uint8_t flags) {
    if (camera) camera->flags = flags;
}

void KX_SetCamera(Camera* camera) {
    if (!camera) return;
    Engine& e = engine();
    e.camera = camera;
    e.roll = camera->roll;
    e.nearDistance = camera->nearDistance;
    e.farDistance = camera->farDistance;
    Matrix& v = e.view;

    if (!(camera->flags & cameraKeepOrientation)) {
        const Vec3 f = normalise(camera->target - camera->position);
        // Looking straight up or down, the up vector would be parallel to f.
        const Vec3 up = (f.x != 0 || f.z != 0) ? camera->up : Vec3{-f.y, 0, 0};
        const Vec3 r = normalise(cross(up, f));
        const Vec3 u = normalise(cross(r, f));
        v = zeroMatrix();
        v[0] = r.x, v[4] = r.y, v[8] = r.z;
        v[1] = -u.x, v[5] = -u.y, v[9] = -u.z;
        v[2] = f.x, v[6] = f.y, v[10] = f.z;
        v = multiply(rotationZ(camera->roll), v);
        Matrix p = identityMatrix();
        p[0] = 1 / std::tan(camera->fov / 2);
        p[5] = p[0] * camera->aspect;
        v = multiply(p, v);
        e.projection = p;
    }
    const Vec3 n{-camera->position.x, -camera->position.y, -camera->position.z};
    for (int j = 0; j < 3; ++j) v[12 + j] = n.x * v[j] + n.y * v[4 + j] + n.z * v[8 + j];

    if (!(camera->flags & cameraTargetMode)) {
        const Matrix toTarget =
            multiply(scaleMatrix(camera->distance, camera->distance, camera->distance),
                     eulerMatrix(camera->angles.x, camera->angles.y, camera->angles.z));
        camera->target = transformPoint(toTarget, {0, 0, -1}) + camera->position;
    }
    camera->direction = normalise(camera->position - camera->target);
}

} // namespace umbrek::vastrel
