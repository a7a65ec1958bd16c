#include "Render/PTexture.h"

#include "Core/Log.h"
#include "Core/PFileReader.h"
#include "Core/PSettings.h"
#include "Core/PTokenizer.h"
#include "Platform/FileSystem.h"
#include "Platform/Graphics/TextureLoader.h"
#include "Render/PRender.h"
#include "Render/PTextureManager.h"

namespace {

constexpr const char* kModule = "Render\\PTexture";
constexpr int kCubeReportLine = 107;
constexpr int kTextureReportLine = 138;
constexpr const char* kTextureFolder = "Data\\Textures\\";
// Triangle filtering with dithering for the generated mip levels.
constexpr DWORD kMipFilter = D3DX_FILTER_TRIANGLE | D3DX_FILTER_DITHER;

// The file to read: the name itself when it exists as a loose file, else the
// same name ending in "jpg" instead of its last three characters.
std::string ChoosePath(const std::string& fileName) {
    const std::string path = kTextureFolder + fileName;
    if (PlatOpenFileForReading(path))
        return path;
    const std::string stem = fileName.size() < 3 ? fileName : fileName.substr(0, fileName.size() - 3);
    return kTextureFolder + stem + "jpg";
}

} // namespace

CPTexture::~CPTexture() {
    // The video players own the textures of these two names.
    if (name == "VIDEO" || name == "VIDEO1")
        return;
    if (texture)
        texture->Release();
    if (cubeTexture)
        cubeTexture->Release();
    if (g_TextureManager)
        g_TextureManager->RemoveTexture(this);
}

IDirect3DBaseTexture9* CPTexture::GetBaseTexture() const {
    if (isCube)
        return cubeTexture;
    return texture;
}

bool CPTexture::Load(const std::string& request) {
    name = request;
    CPTokenizer fields(request, ",", true);
    std::string fileName, option;
    fields.NextToken(fileName);
    UINT mipLevels = D3DX_DEFAULT;
    bool cube = false;
    while (fields.NextToken(option)) {
        if (option == "nomip")
            mipLevels = 1;
        else if (option == "cube")
            cube = true;
    }
    const std::string path = ChoosePath(fileName);
    CPFileReader reader(path, false);
    if (FAILED(reader.Load())) {
        GetLog().Print(0, "The texture %s%s could not be read (nor %s)\n", kTextureFolder, fileName.c_str(),
                       path.c_str());
        return false;
    }
    IDirect3DDevice9* device = g_Render ? g_Render->GetDevice() : nullptr;
    const auto size = static_cast<UINT>(reader.GetSize());
    D3DSURFACE_DESC top;
    if (cube) {
        isCube = true;
        const HRESULT hr = D3DXCreateCubeTextureFromFileInMemoryEx(
            device, reader.GetData(), size, D3DX_DEFAULT, mipLevels, 0, D3DFMT_UNKNOWN, D3DPOOL_MANAGED,
            D3DX_DEFAULT, kMipFilter, 0, nullptr, nullptr, &cubeTexture);
        if (FAILED(hr)) {
            ReportPlatformError(kModule, kCubeReportLine, hr);
            GetLog().Print(0, "The texture %s could not be decoded\n", path.c_str());
            return false;
        }
        cubeTexture->GetLevelDesc(0, &top);
    } else {
        const HRESULT hr = D3DXCreateTextureFromFileInMemoryEx(
            device, reader.GetData(), size, D3DX_DEFAULT, D3DX_DEFAULT, mipLevels, 0, D3DFMT_UNKNOWN,
            D3DPOOL_MANAGED, D3DX_DEFAULT, kMipFilter, 0, nullptr, nullptr, &texture);
        if (FAILED(hr)) {
            ReportPlatformError(kModule, kTextureReportLine, hr);
            GetLog().Print(0, "The texture %s could not be decoded\n", path.c_str());
            return false;
        }
        texture->GetLevelDesc(0, &top);
        if (mipLevels == D3DX_DEFAULT && g_TexLod != -1)
            texture->SetLOD(static_cast<DWORD>(g_TexLod));
    }
    width = static_cast<int>(top.Width);
    height = static_cast<int>(top.Height);
    return true;
}
