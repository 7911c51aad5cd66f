// The simulated Play Server through COM, as the engine uses it: registration, creation,
// movies and projects, timelines that run down, the board's FIFO, settings and journal.
#include <windows.h>
#include <ole2.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <thread>

#include "board/Mrvdhsrvlib.h"
#include "engine/Mrvplayserverlib.h"
#include "sim/tests/Simfiles.h"

using ::testing::ElementsAre;

namespace {

void Put32(std::string* b, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b->push_back(static_cast<char>((v >> (8 * i)) & 0xff));
}

std::string Chunk(const char* fourcc, const std::string& body)
{
    std::string c(fourcc, 4);
    Put32(&c, static_cast<uint32_t>(body.size()));
    c += body;
    if (body.size() & 1)
        c.push_back('\0');
    return c;
}

std::string List(const char* type, const std::string& body)
{
    return Chunk("LIST", std::string(type, 4) + body);
}

// The headers of an AVI file with one video stream (the frames themselves are not needed).
std::string AviBytes(uint32_t width, uint32_t height, uint32_t scale, uint32_t rate, uint32_t length)
{
    std::string avih(56, '\0');
    std::memcpy(&avih[32], &width, 4);
    std::memcpy(&avih[36], &height, 4);
    std::string strh(56, '\0');
    std::memcpy(&strh[0], "vids", 4);
    std::memcpy(&strh[20], &scale, 4);
    std::memcpy(&strh[24], &rate, 4);
    std::memcpy(&strh[32], &length, 4);
    std::string strf(40, '\0');
    std::memcpy(&strf[4], &width, 4);
    std::memcpy(&strf[8], &height, 4);
    std::string hdrl = Chunk("avih", avih) + List("strl", Chunk("strh", strh) + Chunk("strf", strf));
    std::string body = std::string("AVI ") + List("hdrl", hdrl) + List("movi", "");
    return Chunk("RIFF", body);
}

std::string Record(uint32_t tag, const std::string& content)
{
    std::string r;
    Put32(&r, tag);
    Put32(&r, static_cast<uint32_t>(content.size()));
    return r + content;
}

std::string Value(uint32_t v)
{
    std::string s;
    Put32(&s, v);
    return s;
}

struct TmlClip {
    uint32_t start, end;
    std::string video;
};

std::string TmlBytes(std::initializer_list<TmlClip> clips)
{
    std::string project;
    for (const TmlClip& c : clips) {
        std::string block = Record(402, Value(c.start)) + Record(403, Value(c.end)) + Record(455, Value(0));
        if (!c.video.empty())
            block += Record(456, c.video + std::string(1, '\0'));
        project += Record(400, block);
    }
    return std::string("TimeLine Project (c) Firm Halvern", 34) + Record(7, "skip") + Record(100, project);
}

BSTR Wide(const std::string& s)
{
    std::wstring w(s.begin(), s.end());
    return SysAllocString(w.c_str());
}

// A COM pointer released at the end of the scope.
template <class T>
struct Ref {
    T* p = nullptr;
    ~Ref()
    {
        if (p)
            p->Release();
    }
    T** operator&() { return &p; }
    T* operator->() const { return p; }
};

class PlayServer : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        ASSERT_EQ(CoCreateInstance(CLSID_MrvPlayServer, nullptr, CLSCTX_INPROC_SERVER, IID_IMrvPlayServer,
                                   reinterpret_cast<void**>(&server.p)),
                  S_OK);
    }
    void TearDown() override
    {
        if (server.p)
            server.p->Release();
        server.p = nullptr;
        CoUninitialize();
    }
    // A movie opened on a file; null when the server refuses.
    IMrvPlayMovie* OpenMovie(const std::string& path, HRESULT* hr = nullptr)
    {
        IMrvPlayMovie* movie = nullptr;
        if (CoCreateInstance(CLSID_MrvPlayMovie, nullptr, CLSCTX_INPROC_SERVER, IID_IMrvPlayMovie,
                             reinterpret_cast<void**>(&movie)) != S_OK)
            return nullptr;
        BSTR name = Wide(path);
        HRESULT r = movie->MovieOpenFile(name);
        SysFreeString(name);
        if (hr)
            *hr = r;
        return movie;
    }
    // A prepared timeline holding one clip of the movie.
    IMrvPlayTimeline* Prepared(const std::string& avi)
    {
        Ref<IMrvPlayMovie> movie;
        movie.p = OpenMovie(avi);
        Ref<IMrvPlaySuperClip> clip;
        IMrvPlayTimeline* tl = nullptr;
        if (!movie.p || server->GetFilmSuperClip(4147, 2, &clip) != S_OK || clip->ClipAddMovie(movie.p) != S_OK ||
            server->CreateAVTimeline(0, 1 << 20, 3 << 20, 2 << 20, 0, &tl) != S_OK)
            return nullptr;
        tl->TLineReset(0);
        tl->TLineAddSuperClip(clip.p);
        tl->TLineSetState(2);
        return tl;
    }
    static double Activity(IMrvPlayTimeline* tl)
    {
        double a = -1;
        return tl->TLineGetActivity(&a) == S_OK ? a : -1;
    }
    // Polls until the activity falls to 0; the seconds it took, or -1 after the time limit.
    static double RunDown(IMrvPlayTimeline* tl, double limit)
    {
        ULONGLONG start = GetTickCount64();
        while (GetTickCount64() - start < limit * 1000) {
            if (Activity(tl) == 0.0)
                return (GetTickCount64() - start) / 1000.0;
            Sleep(5);
        }
        return -1;
    }

    mrvsim::SimFiles files;
    Ref<IMrvPlayServer> server;
};

TEST(PlayServerRegistration, ClassIsBothThreadedAndTypeLibraryRegistered)
{
    wchar_t clsid[40];
    StringFromGUID2(CLSID_MrvPlayServer, clsid, 40);
    std::wstring key = std::wstring(L"CLSID\\") + clsid + L"\\InprocServer32";
    wchar_t model[32] = {};
    DWORD size = sizeof model;
    ASSERT_EQ(RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), L"ThreadingModel", RRF_RT_REG_SZ, nullptr, model, &size),
              ERROR_SUCCESS);
    EXPECT_STREQ(model, L"Both");
    ITypeLib* lib = nullptr;
    ASSERT_EQ(LoadRegTypeLib(LIBID_Mrvplayserverlib, 1, 0, 0, &lib), S_OK);
    ITypeInfo* info = nullptr;
    EXPECT_EQ(lib->GetTypeInfoOfGuid(IID_IMrvPlayTimeline, &info), S_OK);
    if (info)
        info->Release();
    lib->Release();
    EXPECT_EQ(LoadRegTypeLib(LIBID_Mrvdhsrvlib, 1, 0, 0, &lib), S_OK);
    if (lib)
        lib->Release();
    CLSID byName = {};
    EXPECT_EQ(CLSIDFromProgID(L"Mrvplayserverlib.MrvPlayServer", &byName), S_OK);
    EXPECT_TRUE(IsEqualCLSID(byName, CLSID_MrvPlayServer));
}

TEST(PlayServerRegistration, CreatedAsTheEngineAsksForIt)
{
    // In-process, local or remote; on E_INVALIDARG again with in-process or local only.
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    for (const CLSID* clsid : {&CLSID_MrvPlayServer, &CLSID_MrvPlayMovie}) {
        IUnknown* object = nullptr;
        HRESULT hr = CoCreateInstance(*clsid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER,
                                      IID_IUnknown, reinterpret_cast<void**>(&object));
        if (hr == E_INVALIDARG)
            hr = CoCreateInstance(*clsid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, IID_IUnknown,
                                  reinterpret_cast<void**>(&object));
        EXPECT_EQ(hr, S_OK);
        if (object)
            object->Release();
    }
    CoUninitialize();
}

TEST_F(PlayServer, DefaultsAreReadyAndPal)
{
    LONG ready = 0, w = 0, h = 0;
    EXPECT_EQ(server->GetReady(&ready), S_OK);
    EXPECT_EQ(ready, 1);
    EXPECT_EQ(server->GetScreenSize(0, &w, &h, 0), S_OK);
    EXPECT_EQ(w, 720);
    EXPECT_EQ(h, 576);

    files.Configure("ready = 0\nscreen.width = 1920\nscreen.height = 1080\n");
    EXPECT_EQ(server->GetReady(&ready), S_OK);
    EXPECT_EQ(ready, 0);
    EXPECT_EQ(server->GetScreenSize(0, &w, &h, 0), S_OK);
    EXPECT_EQ(w, 1920);
    EXPECT_EQ(h, 1080);
}

TEST_F(PlayServer, MovieTakesSizeAndDurationFromTheAviHeaders)
{
    const struct {
        uint32_t w, h, scale, rate, length;
        double seconds;
    } cases[] = {{352, 288, 1, 25, 250, 10.0}, {720, 480, 1001, 30000, 300, 10.01}, {768, 576, 1, 25, 1, 0.04}};
    for (const auto& c : cases) {
        files.Write("m.avi", AviBytes(c.w, c.h, c.scale, c.rate, c.length));
        HRESULT hr = E_FAIL;
        Ref<IMrvPlayMovie> movie;
        movie.p = OpenMovie(files.Path("m.avi"), &hr);
        ASSERT_NE(movie.p, nullptr);
        EXPECT_EQ(hr, S_OK);
        LONG w = 0, h = 0;
        double seconds = 0, fps = 0;
        EXPECT_EQ(movie->MovieGetInfo(0, 0, &w, &h, &seconds, 0, &fps, 0), S_OK);
        EXPECT_EQ(w, static_cast<LONG>(c.w));
        EXPECT_EQ(h, static_cast<LONG>(c.h));
        EXPECT_NEAR(seconds, c.seconds, 1e-9);
    }
}

TEST_F(PlayServer, MovieFromARealMuxer)
{
    HRESULT hr = E_FAIL;
    Ref<IMrvPlayMovie> movie;
    movie.p = OpenMovie(MRVSIM_MEDIA_AVI, &hr);
    ASSERT_NE(movie.p, nullptr);
    ASSERT_EQ(hr, S_OK) << MRVSIM_MEDIA_AVI;
    LONG w = 0, h = 0;
    double seconds = 0, fps = 0;
    EXPECT_EQ(movie->MovieGetInfo(0, 0, &w, &h, &seconds, 0, &fps, 0), S_OK);
    EXPECT_EQ(w, 720);
    EXPECT_EQ(h, 576);
    EXPECT_NEAR(seconds, 10.0, 1e-9);
    EXPECT_NEAR(fps, 25.0, 1e-9);
}

TEST_F(PlayServer, BadMoviesFail)
{
    files.Write("text.avi", "not a movie at all, just text");
    std::string noVideo = AviBytes(352, 288, 1, 25, 250);
    std::memcpy(&noVideo[noVideo.find("vids")], "auds", 4);
    files.Write("audio.avi", noVideo);
    files.Write("zero.avi", AviBytes(352, 288, 0, 25, 250));
    // Header lists nested 50000 deep: the reader must neither recurse into them nor crash.
    const int depth = 50000;
    std::string deep;
    for (int k = 0; k < depth; ++k) {
        deep += "LIST";
        Put32(&deep, static_cast<uint32_t>(4 + 12 * (depth - 1 - k)));
        deep += "hdrl";
    }
    files.Write("deep.avi", Chunk("RIFF", "AVI " + deep));
    const struct {
        std::string path;
        HRESULT hr;
    } cases[] = {{files.Path("absent.avi"), HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND)},
                 {files.Path("text.avi"), E_FAIL},
                 {files.Path("audio.avi"), E_FAIL},
                 {files.Path("zero.avi"), E_FAIL},
                 {files.Path("deep.avi"), E_FAIL}};
    for (const auto& c : cases) {
        HRESULT hr = S_OK;
        Ref<IMrvPlayMovie> movie;
        movie.p = OpenMovie(c.path, &hr);
        ASSERT_NE(movie.p, nullptr);
        EXPECT_EQ(hr, c.hr) << c.path;
        // An unopened movie cannot go into a clip.
        Ref<IMrvPlaySuperClip> clip;
        ASSERT_EQ(server->GetFilmSuperClip(4147, 2, &clip), S_OK);
        EXPECT_EQ(clip->ClipAddMovie(movie.p), E_UNEXPECTED);
    }
}

TEST_F(PlayServer, ProjectGivesItsDurationAndPictureSize)
{
    files.Write("clip.avi", AviBytes(352, 288, 1, 25, 250));
    files.Write("p.tml", TmlBytes({{0, 10000, "clip.avi"}, {5000, 15000, "clip.avi"}}));
    files.Write("nofile.tml", TmlBytes({{1000, 3000, "absent.avi"}}));
    files.Write("short.tml", TmlBytes({{1000, 1015, "clip.avi"}}));
    files.Write("day.tml", TmlBytes({{0, 86400000, ""}}));
    files.Write("overday.tml", TmlBytes({{1000, 86400001, ""}}));
    // Times that would overflow a 32-bit difference.
    files.Write("negative.tml", TmlBytes({{0x80000010u, 0x7ffffff0u, ""}}));
    std::string bad = TmlBytes({{0, 1000, ""}});
    bad[0] = 't';
    files.Write("bad.tml", bad);
    const struct {
        const char* name;
        HRESULT hr;
        double seconds;
        LONG w, h;
    } cases[] = {{"p.tml", S_OK, 15.0, 352, 288},
                 {"nofile.tml", S_OK, 2.0, 720, 576},   // no readable video: the screen's size
                 {"short.tml", E_FAIL, 0, 0, 0},
                 {"day.tml", S_OK, 86400.0, 720, 576},
                 {"overday.tml", E_FAIL, 0, 0, 0},
                 {"negative.tml", E_FAIL, 0, 0, 0},
                 {"bad.tml", E_FAIL, 0, 0, 0},
                 {"absent.tml", HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND), 0, 0, 0}};
    for (const auto& c : cases) {
        Ref<IMrvPlaySuperClip> clip;
        ASSERT_EQ(server->GetFilmSuperClip(4147, 2, &clip), S_OK);
        BSTR name = Wide(files.Path(c.name));
        EXPECT_EQ(clip->ClipAddProject(name), c.hr) << c.name;
        SysFreeString(name);
        double seconds = -1;
        LONG w = -1, h = -1;
        EXPECT_EQ(clip->ClipGetDuration(&seconds), S_OK);
        EXPECT_EQ(clip->ClipGetSize(&w, &h), S_OK);
        EXPECT_NEAR(seconds, c.seconds, 1e-9) << c.name;
        EXPECT_EQ(w, c.w) << c.name;
        EXPECT_EQ(h, c.h) << c.name;
    }
}

TEST_F(PlayServer, PlayingTimelineRunsDownOverItsDuration)
{
    // A 10 s item at clock scale 100 plays in 0.1 s.
    files.Configure("clock.scale = 100\n");
    files.Write("clip.avi", AviBytes(352, 288, 1, 25, 250));
    Ref<IMrvPlayTimeline> tl;
    tl.p = Prepared(files.Path("clip.avi"));
    ASSERT_NE(tl.p, nullptr);
    EXPECT_EQ(Activity(tl.p), 0.0);   // prepared, not playing
    EXPECT_EQ(tl->TLineSetState(3), S_OK);
    EXPECT_EQ(Activity(tl.p), 0.0);

    // At rate 0 the item cannot run out, however long the machine takes.
    EXPECT_EQ(tl->TLineSetStart(0, 0), S_OK);
    EXPECT_EQ(tl->TLineSetRate(0.0, 0.1), S_OK);
    EXPECT_EQ(tl->TLineSetState(4), S_OK);
    EXPECT_GT(Activity(tl.p), 0.01);
    Sleep(200);
    EXPECT_GT(Activity(tl.p), 0.01);

    ULONGLONG before = GetTickCount64();
    EXPECT_EQ(tl->TLineSetRate(1.0, 0.1), S_OK);
    double took = RunDown(tl.p, 60);
    ASSERT_GE(took, 0) << "still active after 60 s";
    EXPECT_GE(GetTickCount64() - before + 20, 100u) << "ran out before its 0.1 s";
    EXPECT_EQ(Activity(tl.p), 0.0);

    // Back to prepared and playing again starts from the beginning; doubling the rate halves it.
    EXPECT_EQ(tl->TLineSetState(2), S_OK);
    EXPECT_EQ(tl->TLineSetRate(0.0, 0.1), S_OK);
    EXPECT_EQ(tl->TLineSetState(4), S_OK);
    EXPECT_GT(Activity(tl.p), 0.01);
    EXPECT_EQ(tl->TLineSetRate(2.0, 0.1), S_OK);
    EXPECT_GE(RunDown(tl.p, 60), 0);

    // An emptied timeline has nothing to play.
    EXPECT_EQ(tl->TLineReset(0), S_OK);
    EXPECT_EQ(tl->TLineSetRate(0.0, 0.1), S_OK);
    EXPECT_EQ(tl->TLineSetState(4), S_OK);
    EXPECT_EQ(Activity(tl.p), 0.0);
    EXPECT_EQ(tl->TLineSetState(7), E_INVALIDARG);
}

TEST_F(PlayServer, ActivityWhilePlayingIsConfigurable)
{
    files.Write("clip.avi", AviBytes(352, 288, 1, 25, 250));
    Ref<IMrvPlayTimeline> tl;
    tl.p = Prepared(files.Path("clip.avi"));
    ASSERT_NE(tl.p, nullptr);
    files.Configure("clock.scale = 0\nactivity = 0.01\n");
    EXPECT_EQ(Activity(tl.p), 0.0);   // prepared: nothing plays, whatever the setting
    EXPECT_EQ(tl->TLineSetState(4), S_OK);
    EXPECT_EQ(Activity(tl.p), 0.01);
    files.Configure("clock.scale = 0\nactivity = 0.02\n");
    EXPECT_EQ(Activity(tl.p), 0.02);
}

TEST_F(PlayServer, ObjectsWorkFromAnotherThread)
{
    files.Configure("clock.scale = 0\n");   // time stands still: the item keeps playing
    files.Write("clip.avi", AviBytes(352, 288, 1, 25, 250));
    files.Write("p.tml", TmlBytes({{0, 4000, "clip.avi"}}));
    Ref<IMrvPlayTimeline> tl;
    ASSERT_EQ(server->CreateAVTimeline(0, 1 << 20, 3 << 20, 2 << 20, 0, &tl), S_OK);
    // The engine's worker builds on objects the main thread created, unmarshalled, and
    // without entering an apartment.
    HRESULT results[5] = {E_FAIL, E_FAIL, E_FAIL, E_FAIL, E_FAIL};
    double seconds = 0;
    std::thread worker([&] {
        IMrvPlaySuperClip* clip = nullptr;
        results[0] = server->GetFilmSuperClip(4147, 2, &clip);
        if (!clip)
            return;
        BSTR name = Wide(files.Path("p.tml"));
        results[1] = clip->ClipAddProject(name);
        SysFreeString(name);
        clip->ClipGetDuration(&seconds);
        results[2] = tl->TLineReset(0);
        results[3] = tl->TLineAddSuperClip(clip);
        results[4] = tl->TLineSetState(2);
        clip->Release();
    });
    worker.join();
    for (HRESULT hr : results)
        EXPECT_EQ(hr, S_OK);
    EXPECT_NEAR(seconds, 4.0, 1e-9);
    EXPECT_EQ(tl->TLineSetState(4), S_OK);
    EXPECT_GT(Activity(tl.p), 0.01);
}

TEST_F(PlayServer, ConfiguredFailureComesBackAsItsHresult)
{
    files.Configure("fail.ClipAddProject = 0x80004005\nfail.TLineSetState = 0x8000FFFF\nfail.GetReady = 0x80070005\n");
    files.Write("p.tml", TmlBytes({{0, 4000, ""}}));
    Ref<IMrvPlaySuperClip> clip;
    ASSERT_EQ(server->GetFilmSuperClip(4147, 2, &clip), S_OK);
    BSTR name = Wide(files.Path("p.tml"));
    EXPECT_EQ(clip->ClipAddProject(name), E_FAIL);
    Ref<IMrvPlayTimeline> tl;
    ASSERT_EQ(server->CreateAVTimeline(0, 1 << 20, 3 << 20, 2 << 20, 0, &tl), S_OK);
    EXPECT_EQ(tl->TLineSetState(2), E_UNEXPECTED);
    LONG ready = 5;
    EXPECT_EQ(server->GetReady(&ready), E_ACCESSDENIED);

    // Settings are read again when the file changes.
    files.Configure("");
    EXPECT_EQ(clip->ClipAddProject(name), S_OK);
    EXPECT_EQ(tl->TLineSetState(2), S_OK);
    SysFreeString(name);
}

TEST_F(PlayServer, ConfiguredCreationFailureReachesTheCreator)
{
    const struct {
        const char* setting;
        const CLSID* clsid;
        const char* op;
    } cases[] = {{"fail.CreateServer = 0x80040154", &CLSID_MrvPlayServer, "CreateServer"},
                 {"fail.CreateMovie = 0x80040154", &CLSID_MrvPlayMovie, "CreateMovie"}};
    for (const auto& c : cases) {
        files.Configure(c.setting);
        files.ClearJournal();
        IUnknown* object = reinterpret_cast<IUnknown*>(1);
        EXPECT_EQ(CoCreateInstance(*c.clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                                   reinterpret_cast<void**>(&object)),
                  REGDB_E_CLASSNOTREG)
            << c.op;
        EXPECT_EQ(object, nullptr);
        auto lines = files.Journal();
        ASSERT_EQ(lines.size(), 1u) << c.op;
        EXPECT_EQ(lines[0].op, c.op);
        EXPECT_EQ(lines[0].result, "0x80040154");
    }
    // The Play Server has become available: creation works again.
    files.Configure("");
    Ref<IMrvPlayServer> again;
    EXPECT_EQ(CoCreateInstance(CLSID_MrvPlayServer, nullptr, CLSCTX_INPROC_SERVER, IID_IMrvPlayServer,
                               reinterpret_cast<void**>(&again.p)),
              S_OK);
}

TEST_F(PlayServer, BoardGivesAFifoThatQueuesAndRuns)
{
    Ref<IMrvBoard> board;
    ASSERT_EQ(server->GetBoard(0, &board), S_OK);
    Ref<IMrvPlay> play;
    ASSERT_EQ(board->QueryInterface(IID_IMrvPlay, reinterpret_cast<void**>(&play.p)), S_OK);
    LONG zero = 0;
    Ref<IMrvFifo> fifo;
    ASSERT_EQ(play->CreateFifo(0x8000, 0x8000, &zero, &fifo), S_OK);
    ASSERT_NE(fifo.p, nullptr);
    EXPECT_EQ(fifo->ConfigureFifo(0, 0), S_OK);

    LONG free = 0, capacity = 0, room = 0, frames = -1;
    EXPECT_EQ(fifo->RequestSpace(1024, 0, &free, &capacity, &room, &frames), S_OK);
    EXPECT_NE(room, 0);
    unsigned char table[256];
    for (int i = 0; i < 256; ++i)
        table[i] = static_cast<unsigned char>(i);
    EXPECT_EQ(fifo->AddData(1, 0, 14, 256, table), S_OK);
    EXPECT_EQ(fifo->AddData(1, 1, 14, 256, table), S_OK);
    EXPECT_EQ(fifo->AddData(1, 0, 4, 0, nullptr), S_OK);
    EXPECT_EQ(fifo->RequestSpace(0, 0, &free, &capacity, &room, &frames), S_OK);
    EXPECT_EQ(frames, 1);
    EXPECT_EQ(free, capacity - 512);
    EXPECT_EQ(fifo->RequestSpace(capacity, 0, &free, &capacity, &room, &frames), S_OK);
    EXPECT_EQ(room, 0);
    EXPECT_EQ(fifo->ResetFifo(), S_OK);
    EXPECT_EQ(fifo->RequestSpace(capacity, 0, &free, &capacity, &room, &frames), S_OK);
    EXPECT_NE(room, 0);

    // The callers reach these methods by slot: 3 GetFifoState, 4 SetFifoState.
    typedef HRESULT(STDMETHODCALLTYPE * SetState)(IMrvFifo*, LONG);
    typedef HRESULT(STDMETHODCALLTYPE * GetState)(IMrvFifo*, LONG*);
    void** slots = *reinterpret_cast<void***>(fifo.p);
    EXPECT_EQ(reinterpret_cast<SetState>(slots[4])(fifo.p, 2), S_OK);
    LONG state = 0;
    EXPECT_EQ(reinterpret_cast<GetState>(slots[3])(fifo.p, &state), S_OK);
    EXPECT_EQ(state, 2);
    EXPECT_EQ(fifo->Reserved5(), E_NOTIMPL);

    files.Configure("fifo.runs = 0\n");
    EXPECT_EQ(fifo->SetFifoState(2), S_OK);
    EXPECT_EQ(fifo->GetFifoState(&state), S_OK);
    EXPECT_EQ(state, 1);

    auto adds = mrvsim::Calls(files.Journal(), "ps", "AddData");
    ASSERT_EQ(adds.size(), 3u);
    std::string hex;
    char two[3];
    for (int i = 0; i < 256; ++i) {
        snprintf(two, sizeof two, "%02x", i);
        hex += two;
    }
    EXPECT_EQ(adds[0], "AddData 1 0 14 256 " + hex);
    EXPECT_EQ(adds[2], "AddData 1 0 4 0 null");
}

TEST_F(PlayServer, PlayServiceMethodsSitAtTheirSlots)
{
    // Callers reach the play service by slot number alone.
    Ref<IMrvBoard> board;
    ASSERT_EQ(server->GetBoard(0, &board), S_OK);
    Ref<IMrvPlay> play;
    ASSERT_EQ(board->QueryInterface(IID_IMrvPlay, reinterpret_cast<void**>(&play.p)), S_OK);
    typedef HRESULT(STDMETHODCALLTYPE * Create)(IMrvPlay*, LONG, LONG, LONG*, IMrvFifo**);
    typedef HRESULT(STDMETHODCALLTYPE * NoArgs)(IMrvFifo*);
    typedef HRESULT(STDMETHODCALLTYPE * TwoArgs)(IMrvFifo*, LONG, LONG);
    typedef HRESULT(STDMETHODCALLTYPE * Add)(IMrvFifo*, LONG, LONG, LONG, LONG, BYTE*);
    typedef HRESULT(STDMETHODCALLTYPE * Space)(IMrvFifo*, LONG, LONG, LONG*, LONG*, LONG*, LONG*);
    LONG zero = 0;
    Ref<IMrvFifo> fifo;
    void** playSlots = *reinterpret_cast<void***>(play.p);
    ASSERT_EQ(reinterpret_cast<Create>(playSlots[3])(play.p, 0x8000, 0x8000, &zero, &fifo.p), S_OK);
    ASSERT_NE(fifo.p, nullptr);
    files.ClearJournal();
    void** slots = *reinterpret_cast<void***>(fifo.p);
    EXPECT_EQ(reinterpret_cast<NoArgs>(slots[8])(fifo.p), S_OK);
    EXPECT_EQ(reinterpret_cast<TwoArgs>(slots[13])(fifo.p, 0, 0), S_OK);
    EXPECT_EQ(reinterpret_cast<Add>(slots[14])(fifo.p, 1, 0, 4, 0, nullptr), S_OK);
    LONG free = 0, capacity = 0, room = 0, frames = 0;
    EXPECT_EQ(reinterpret_cast<Space>(slots[15])(fifo.p, 512, 0, &free, &capacity, &room, &frames), S_OK);
    EXPECT_NE(room, 0);
    for (int slot : {5, 6, 7, 9, 10, 11, 12})
        EXPECT_EQ(reinterpret_cast<NoArgs>(slots[slot])(fifo.p), E_NOTIMPL) << slot;
    EXPECT_THAT(mrvsim::Calls(files.Journal(), "ps"),
                ElementsAre("ResetFifo", "ConfigureFifo 0 0", "AddData 1 0 4 0 null", "RequestSpace 512 0",
                            "Reserved5", "Reserved6", "Reserved7", "Reserved9", "Reserved10", "Reserved11",
                            "Reserved12"));
}

TEST_F(PlayServer, DispatchAnswersThroughTheTypeLibrary)
{
    Ref<IDispatch> disp;
    ASSERT_EQ(server->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&disp.p)), S_OK);
    LPOLESTR name = const_cast<LPOLESTR>(L"GetScreenSize");
    DISPID id = 0;
    ASSERT_EQ(disp->GetIDsOfNames(IID_NULL, &name, 1, 0, &id), S_OK);
    LONG w = 0, h = 0;
    VARIANT args[4];   // in reverse order
    VariantInit(&args[0]);
    args[0].vt = VT_I4;
    args[0].lVal = 0;
    args[1].vt = VT_BYREF | VT_I4;
    args[1].plVal = &h;
    args[2].vt = VT_BYREF | VT_I4;
    args[2].plVal = &w;
    args[3].vt = VT_I4;
    args[3].lVal = 0;
    DISPPARAMS params = {args, nullptr, 4, 0};
    EXPECT_EQ(disp->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr), S_OK);
    EXPECT_EQ(w, 720);
    EXPECT_EQ(h, 576);
}

TEST_F(PlayServer, JournalShowsTheCallSequence)
{
    files.Write("clip.avi", AviBytes(352, 288, 1, 25, 250));
    files.ClearJournal();
    {
        Ref<IMrvPlayTimeline> tl;
        tl.p = Prepared(files.Path("clip.avi"));
        ASSERT_NE(tl.p, nullptr);
        EXPECT_EQ(tl->TLineSetPlacement(184, 144, 352, 288), S_OK);
        EXPECT_EQ(tl->TLineSetRate(1.0, 0.1), S_OK);
    }
    auto lines = files.Journal();
    std::string avi = files.Path("clip.avi");
    EXPECT_THAT(mrvsim::Calls(lines, "ps"),
                ElementsAre("Create", "MovieOpenFile " + avi, "GetFilmSuperClip 4147 2", "ClipAddMovie movie1",
                            "CreateAVTimeline 0 1048576 3145728 2097152 0", "TLineReset 0",
                            "TLineAddSuperClip clip1", "TLineSetState 2", "Destroy", "TLineSetPlacement 184 144 352 288",
                            "TLineSetRate 1 0.1", "Destroy", "Destroy"));
    ASSERT_GE(lines.size(), 5u);
    EXPECT_EQ(lines[0].object, "movie1");
    EXPECT_EQ(lines[4].object, "server1");
    EXPECT_THAT(lines[4].outs, ElementsAre("tl1"));
    EXPECT_EQ(lines[4].result, "0x00000000");
}

}  // namespace
