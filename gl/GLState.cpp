// The fixed OpenGL state, set once at start.
//
// The light position is given while the modelview matrix is the identity, so
// it is stored in world coordinates; the frame update keeps its camera in the
// projection matrix, which leaves that position valid for the whole run. The
// light and the material are set nowhere else; whether lighting as a whole is
// on is decided per frame.
#include "gl/GLState.h"

#include "app/Editor.h"
#include "gl/GL.h"
#include "terrain/TerrainModel.h"

bool InitGLState() {
    glClearColor(0.0f, 0.0f, 0.0f, 0.5f);
    glEnable(GL_TEXTURE_2D);
    glShadeModel(GL_SMOOTH);
    glClearDepth(1.0);
    glDepthRange(0.0, 1.0);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);

    if (gTerrain) {
        const TerrainLight& light = gTerrain->light;
        const GLfloat ambient[4] = {light.ambient, light.ambient, light.ambient, 1.0f};
        const GLfloat diffuse[4] = {light.diffuse, light.diffuse, light.diffuse, 1.0f};
        GLfloat position[4];
        if (light.distant) {
            // A point light far out along the direction stands in for a
            // directional one.
            position[0] = 20000.0f * light.direction.x;
            position[1] = 20000.0f * light.direction.y;
            position[2] = 20000.0f * light.direction.z;
            position[3] = 1.0f;
        } else {
            position[0] = light.position.x;
            position[1] = light.position.y;
            position[2] = light.position.z;
            position[3] = light.position.w;
        }
        glLightfv(GL_LIGHT0, GL_AMBIENT, ambient);
        glLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
        glLightfv(GL_LIGHT0, GL_POSITION, position);
        glEnable(GL_LIGHT0);
    }

    const GLfloat white[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    const GLfloat black[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    glMaterialfv(GL_FRONT, GL_AMBIENT, white);
    glMaterialfv(GL_FRONT, GL_DIFFUSE, white);
    glMaterialfv(GL_FRONT, GL_SPECULAR, black);
    glMaterialfv(GL_FRONT, GL_EMISSION, black);

    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);

    glAlphaFunc(GL_GREATER, 0.4f);
    glEnable(GL_ALPHA_TEST);

    if (gTerrain) gTerrain->ShadeAll();
    return true;
}
