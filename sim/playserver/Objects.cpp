#include "sim/playserver/Objects.h"

#include <cmath>
#include <cstdio>
#include <map>

#include "sim/common/Simconfig.h"
#include "sim/common/Simjournal.h"

namespace mrvsim {

namespace {

// Our own objects answer this with their C++ object (no reference taken), so that a clip can
// tell its own movies from foreign pointers.
const IID kSelf = {0x5a0c8d2e, 0x41b7, 0x4f0e, {0x9d, 0x63, 0x2b, 0x8e, 0x71, 0x0a, 0xc4, 0x19}};

LONG g_objects = 0;

template <class T>
T* Self(IUnknown* p)
{
    void* self = nullptr;
    if (!p || FAILED(p->QueryInterface(kSelf, &self)))
        return nullptr;
    return dynamic_cast<T*>(static_cast<Counted*>(self));
}

std::string NameOf(IUnknown* p)
{
    if (!p)
        return "null";
    void* self = nullptr;
    if (FAILED(p->QueryInterface(kSelf, &self)))
        return "foreign";
    return static_cast<Counted*>(self)->Name();
}

double Clock()
{
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// One operation: the lock, the settings, the journal line and an injected failure.
class Call {
public:
    Call(const Counted* object, const char* op)
        : guard_(ServerLock()), settings_(CurrentSettings()), line_("ps", object->Name(), op), op_(op)
    {
    }
    JournalLine& Line() { return line_; }
    const Settings& Config() const { return *settings_; }
    bool Injected(HRESULT* hr) const
    {
        long r;
        if (!settings_->Fails(op_, &r))
            return false;
        *hr = static_cast<HRESULT>(r);
        return true;
    }
    HRESULT End(HRESULT hr)
    {
        line_.Hresult(hr).Write();
        return hr;
    }

private:
    std::lock_guard<std::recursive_mutex> guard_;
    std::shared_ptr<const Settings> settings_;
    JournalLine line_;
    const char* op_;
};

template <class T>
HRESULT Answer(T* object, REFIID iid, void** out, std::initializer_list<std::pair<const IID*, void*>> table)
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    if (iid == kSelf) {
        *out = static_cast<Counted*>(object);
        return S_OK;
    }
    for (const auto& entry : table) {
        if (iid == *entry.first) {
            *out = entry.second;
            object->Add();
            return S_OK;
        }
    }
    return E_NOINTERFACE;
}

HRESULT ReadFailure(MediaRead r)
{
    return r == MediaRead::missing ? HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND) : E_FAIL;
}

}  // namespace

std::recursive_mutex& ServerLock()
{
    static std::recursive_mutex lock;
    return lock;
}

LONG LiveObjects()
{
    return InterlockedCompareExchange(&g_objects, 0, 0);
}

// --- Counted ----------------------------------------------------------------------------------------

Counted::Counted(const char* kind)
{
    static std::map<std::string, int> counters;
    std::lock_guard<std::recursive_mutex> guard(ServerLock());
    name_ = kind + std::to_string(++counters[kind]);
    InterlockedIncrement(&g_objects);
}

Counted::~Counted()
{
    InterlockedDecrement(&g_objects);
}

ULONG Counted::Add()
{
    return static_cast<ULONG>(InterlockedIncrement(&refs_));
}

ULONG Counted::Drop()
{
    LONG n = InterlockedDecrement(&refs_);
    if (n == 0) {
        // The journal shows what the client let go, so tests can find leaked objects.
        JournalLine("ps", name_, "Destroy").Hresult(S_OK).Write();
        std::lock_guard<std::recursive_mutex> guard(ServerLock());
        delete this;
    }
    return static_cast<ULONG>(n);
}

// --- Server -----------------------------------------------------------------------------------------

Server::Server() : Counted("server") {}

Server::~Server()
{
    if (board_)
        board_->Drop();
}

HRESULT Server::QueryInterface(REFIID iid, void** out)
{
    IMrvPlayServer* me = this;
    return Answer(this, iid, out, {{&IID_IUnknown, me}, {&IID_IDispatch, me}, {&IID_IMrvPlayServer, me}});
}

HRESULT Server::GetReady(LONG* ready)
{
    Call c(this, "GetReady");
    HRESULT hr;
    if (c.Injected(&hr))
        return c.End(hr);
    if (!ready)
        return c.End(E_POINTER);
    *ready = static_cast<LONG>(c.Config().Int("ready", 1));
    c.Line().Hresult(S_OK).Out(*ready).Write();
    return S_OK;
}

HRESULT Server::GetScreenSize(LONG board, LONG* width, LONG* height, LONG flags)
{
    Call c(this, "GetScreenSize");
    c.Line().Arg(board).Arg(flags);
    HRESULT hr;
    if (c.Injected(&hr))
        return c.End(hr);
    if (!width || !height)
        return c.End(E_POINTER);
    *width = *height = 0;
    if (board != 0)
        return c.End(E_INVALIDARG);
    *width = static_cast<LONG>(c.Config().Int("screen.width", 720));
    *height = static_cast<LONG>(c.Config().Int("screen.height", 576));
    c.Line().Hresult(S_OK).Out(*width).Out(*height).Write();
    return S_OK;
}

HRESULT Server::GetFilmSuperClip(LONG kind, LONG mode, IMrvPlaySuperClip** clip)
{
    Call c(this, "GetFilmSuperClip");
    c.Line().Arg(kind).Arg(mode);
    HRESULT hr;
    if (clip)
        *clip = nullptr;
    if (c.Injected(&hr))
        return c.End(hr);
    if (!clip)
        return c.End(E_POINTER);
    SuperClip* made = new SuperClip;
    *clip = made;
    c.Line().Hresult(S_OK).OutWord(made->Name()).Write();
    return S_OK;
}

HRESULT Server::GetBoard(LONG index, IMrvBoard** board)
{
    Call c(this, "GetBoard");
    c.Line().Arg(index);
    HRESULT hr;
    if (board)
        *board = nullptr;
    if (c.Injected(&hr))
        return c.End(hr);
    if (!board)
        return c.End(E_POINTER);
    if (index != 0)
        return c.End(E_INVALIDARG);
    if (!board_)
        board_ = new Board;
    board_->Add();
    *board = board_;
    c.Line().Hresult(S_OK).OutWord(board_->Name()).Write();
    return S_OK;
}

HRESULT Server::CreateAVTimeline(LONG flags, LONG videoBytes, LONG audioBytes, LONG dataBytes, LONG options,
                                 IMrvPlayTimeline** timeline)
{
    Call c(this, "CreateAVTimeline");
    c.Line().Arg(flags).Arg(videoBytes).Arg(audioBytes).Arg(dataBytes).Arg(options);
    HRESULT hr;
    if (timeline)
        *timeline = nullptr;
    if (c.Injected(&hr))
        return c.End(hr);
    if (!timeline)
        return c.End(E_POINTER);
    if (videoBytes <= 0 || audioBytes <= 0 || dataBytes <= 0)
        return c.End(E_INVALIDARG);
    Timeline* made = new Timeline;
    *timeline = made;
    c.Line().Hresult(S_OK).OutWord(made->Name()).Write();
    return S_OK;
}

// --- Timeline ---------------------------------------------------------------------------------------

Timeline::Timeline() : Counted("tl") {}

Timeline::~Timeline()
{
    Clear();
}

HRESULT Timeline::QueryInterface(REFIID iid, void** out)
{
    IMrvPlayTimeline* me = this;
    return Answer(this, iid, out, {{&IID_IUnknown, me}, {&IID_IDispatch, me}, {&IID_IMrvPlayTimeline, me}});
}

void Timeline::Clear()
{
    for (SuperClip* clip : clips_)
        clip->Drop();
    clips_.clear();
    duration_ = 0;
}

double Timeline::Played(double now) const
{
    double run = state_ == 4 ? (now - runStart_) * scale_ * rate_ : 0;
    return position_ + run;
}

HRESULT Timeline::TLineSetState(LONG state)
{
    Call c(this, "TLineSetState");
    c.Line().Arg(state);
    HRESULT hr;
    if (c.Injected(&hr))
        return c.End(hr);
    if (state < 0 || state > 4)
        return c.End(E_INVALIDARG);
    double now = Clock();
    if (state_ == 4)
        position_ = Played(now);
    if (state <= 2)
        position_ = 0;   // stopped or prepared: back to the start
    if (state == 4) {
        runStart_ = now;
        scale_ = c.Config().Real("clock.scale", 1.0);
    }
    state_ = state;
    return c.End(S_OK);
}

HRESULT Timeline::TLineGetActivity(double* activity)
{
    Call c(this, "TLineGetActivity");
    HRESULT hr;
    if (c.Injected(&hr))
        return c.End(hr);
    if (!activity)
        return c.End(E_POINTER);
    bool running = state_ == 4 && Played(Clock()) < duration_ - start_;
    // "activity" lets a test put the value near the engine's threshold.
    *activity = running ? c.Config().Real("activity", 1.0) : 0.0;
    c.Line().Hresult(S_OK).OutReal(*activity).Write();
    return S_OK;
}

HRESULT Timeline::TLineAddSuperClip(IMrvPlaySuperClip* clip)
{
    Call c(this, "TLineAddSuperClip");
    c.Line().Word(NameOf(clip));
    HRESULT hr;
    if (c.Injected(&hr))
        return c.End(hr);
    if (!clip)
        return c.End(E_POINTER);
    SuperClip* own = Self<SuperClip>(clip);
    if (!own)
        return c.End(E_INVALIDARG);
    own->Add();
    clips_.push_back(own);
    duration_ += own->Seconds();
    return c.End(S_OK);
}

HRESULT Timeline::TLineReset(LONG flags)
{
    Call c(this, "TLineReset");
    c.Line().Arg(flags);
    HRESULT hr;
    if (c.Injected(&hr))
        return c.End(hr);
    Clear();
    state_ = 0;
    position_ = 0;
    start_ = 0;
    return c.End(S_OK);
}

HRESULT Timeline::TLineSetPlacement(LONG x, LONG y, LONG width, LONG height)
{
    Call c(this, "TLineSetPlacement");
    c.Line().Arg(x).Arg(y).Arg(width).Arg(height);
    HRESULT hr;
    if (c.Injected(&hr))
        return c.End(hr);
    return c.End(width < 0 || height < 0 ? E_INVALIDARG : S_OK);
}

HRESULT Timeline::TLineSetStart(LONG position, LONG flags)
{
    Call c(this, "TLineSetStart");
    c.Line().Arg(position).Arg(flags);
    HRESULT hr;
    if (c.Injected(&hr))
        return c.End(hr);
    if (position < 0)
        return c.End(E_INVALIDARG);
    start_ = position * 0.001;   // milliseconds
    position_ = 0;
    runStart_ = Clock();
    return c.End(S_OK);
}

HRESULT Timeline::TLineSetRate(double rate, double ramp)
{
    Call c(this, "TLineSetRate");
    c.Line().Real(rate).Real(ramp);
    HRESULT hr;
    if (c.Injected(&hr))
        return c.End(hr);
    if (!std::isfinite(rate) || !std::isfinite(ramp))
        return c.End(E_INVALIDARG);
    double now = Clock();
    position_ = Played(now);
    runStart_ = now;
    rate_ = std::fabs(rate);
    return c.End(S_OK);
}

// --- SuperClip --------------------------------------------------------------------------------------

SuperClip::SuperClip() : Counted("clip") {}

HRESULT SuperClip::QueryInterface(REFIID iid, void** out)
{
    IMrvPlaySuperClip* me = this;
    return Answer(this, iid, out, {{&IID_IUnknown, me}, {&IID_IDispatch, me}, {&IID_IMrvPlaySuperClip, me}});
}

double SuperClip::Seconds() const
{
    double total = 0;
    for (const MediaInfo& item : items_)
        total += item.seconds;
    return total;
}

HRESULT SuperClip::ClipGetDuration(double* seconds)
{
    Call c(this, "ClipGetDuration");
    HRESULT hr;
    if (c.Injected(&hr))
        return c.End(hr);
    if (!seconds)
        return c.End(E_POINTER);
    *seconds = Seconds();
    c.Line().Hresult(S_OK).OutReal(*seconds).Write();
    return S_OK;
}

HRESULT SuperClip::ClipAddMovie(IMrvPlayMovie* movie)
{
    Call c(this, "ClipAddMovie");
    c.Line().Word(NameOf(movie));
    HRESULT hr;
    if (c.Injected(&hr))
        return c.End(hr);
    if (!movie)
        return c.End(E_POINTER);
    Movie* own = Self<Movie>(movie);
    if (!own)
        return c.End(E_INVALIDARG);
    if (!own->Opened())
        return c.End(E_UNEXPECTED);
    items_.push_back(own->Info());
    return c.End(S_OK);
}

HRESULT SuperClip::ClipAddProject(BSTR fileName)
{
    Call c(this, "ClipAddProject");
    c.Line().Text(fileName);
    HRESULT hr;
    if (c.Injected(&hr))
        return c.End(hr);
    if (!fileName || !*fileName)
        return c.End(E_INVALIDARG);
    MediaInfo info;
    std::string video;
    MediaRead r = ReadTml(Narrow(fileName), &info, &video);
    if (r != MediaRead::ok)
        return c.End(ReadFailure(r));
    // The picture is that of the first video clip; without a readable one, the screen's.
    MediaInfo picture;
    if (!video.empty() && ReadAvi(video, &picture) == MediaRead::ok && picture.width > 0) {
        info.width = picture.width;
        info.height = picture.height;
        info.frameRate = picture.frameRate;
    } else {
        info.width = static_cast<long>(c.Config().Int("screen.width", 720));
        info.height = static_cast<long>(c.Config().Int("screen.height", 576));
    }
    items_.push_back(info);
    return c.End(S_OK);
}

HRESULT SuperClip::ClipGetSize(LONG* width, LONG* height)
{
    Call c(this, "ClipGetSize");
    HRESULT hr;
    if (c.Injected(&hr))
        return c.End(hr);
    if (!width || !height)
        return c.End(E_POINTER);
    *width = items_.empty() ? 0 : items_[0].width;
    *height = items_.empty() ? 0 : items_[0].height;
    c.Line().Hresult(S_OK).Out(*width).Out(*height).Write();
    return S_OK;
}

// --- Movie ------------------------------------------------------------------------------------------

Movie::Movie() : Counted("movie") {}

HRESULT Movie::QueryInterface(REFIID iid, void** out)
{
    IMrvPlayMovie* me = this;
    return Answer(this, iid, out, {{&IID_IUnknown, me}, {&IID_IDispatch, me}, {&IID_IMrvPlayMovie, me}});
}

HRESULT Movie::MovieOpenFile(BSTR fileName)
{
    Call c(this, "MovieOpenFile");
    c.Line().Text(fileName);
    HRESULT hr;
    if (c.Injected(&hr))
        return c.End(hr);
    if (!fileName || !*fileName)
        return c.End(E_INVALIDARG);
    MediaInfo info;
    MediaRead r = ReadAvi(Narrow(fileName), &info);
    if (r != MediaRead::ok)
        return c.End(ReadFailure(r));
    info_ = info;
    opened_ = true;
    return c.End(S_OK);
}

HRESULT Movie::MovieGetInfo(LONG stream, LONG flags, LONG* width, LONG* height, double* seconds, LONG reserved1,
                            double* frameRate, LONG reserved2)
{
    Call c(this, "MovieGetInfo");
    c.Line().Arg(stream).Arg(flags).Arg(reserved1).Arg(reserved2);
    HRESULT hr;
    if (c.Injected(&hr))
        return c.End(hr);
    if (!width || !height || !seconds)
        return c.End(E_POINTER);
    *width = opened_ ? info_.width : 0;
    *height = opened_ ? info_.height : 0;
    *seconds = opened_ ? info_.seconds : 0;
    if (frameRate)
        *frameRate = opened_ ? info_.frameRate : 0;
    hr = opened_ ? S_OK : E_UNEXPECTED;
    c.Line().Hresult(hr).Out(*width).Out(*height).OutReal(*seconds).Write();
    return hr;
}

// --- Board and its play service ---------------------------------------------------------------------

Board::Board() : Counted("board") {}

HRESULT Board::QueryInterface(REFIID iid, void** out)
{
    IMrvBoard* me = this;
    IMrvPlay* play = this;
    return Answer(this, iid, out,
                  {{&IID_IUnknown, me}, {&IID_IDispatch, me}, {&IID_IMrvBoard, me}, {&IID_IMrvPlay, play}});
}

HRESULT Board::BoardGetIndex(LONG* index)
{
    Call c(this, "BoardGetIndex");
    HRESULT hr;
    if (c.Injected(&hr))
        return c.End(hr);
    if (!index)
        return c.End(E_POINTER);
    *index = 0;
    c.Line().Hresult(S_OK).Out(0).Write();
    return S_OK;
}

HRESULT Board::CreateFifo(LONG size, LONG blockSize, LONG* options, IMrvFifo** fifo)
{
    Call c(this, "CreateFifo");
    c.Line().Arg(size).Arg(blockSize);
    if (options)
        c.Line().Arg(*options);
    else
        c.Line().Word("null");
    HRESULT hr;
    if (fifo)
        *fifo = nullptr;
    if (c.Injected(&hr))
        return c.End(hr);
    if (!fifo)
        return c.End(E_POINTER);
    if (size <= 0 || blockSize <= 0)
        return c.End(E_INVALIDARG);
    Fifo* made = new Fifo(size, blockSize);
    *fifo = made;
    c.Line().Hresult(S_OK).OutWord(made->Name()).Write();
    return S_OK;
}

// --- FIFO -------------------------------------------------------------------------------------------

Fifo::Fifo(LONG, LONG) : Counted("fifo") {}

HRESULT Fifo::QueryInterface(REFIID iid, void** out)
{
    IMrvFifo* me = this;
    return Answer(this, iid, out, {{&IID_IUnknown, me}, {&IID_IMrvFifo, me}});
}

HRESULT Fifo::GetFifoState(LONG* state)
{
    Call c(this, "GetFifoState");
    HRESULT hr;
    if (c.Injected(&hr))
        return c.End(hr);
    if (!state)
        return c.End(E_POINTER);
    *state = state_;
    c.Line().Hresult(S_OK).Out(state_).Write();
    return S_OK;
}

HRESULT Fifo::SetFifoState(LONG state)
{
    Call c(this, "SetFifoState");
    c.Line().Arg(state);
    HRESULT hr;
    if (c.Injected(&hr))
        return c.End(hr);
    if (state < 0 || state > 2)
        return c.End(E_INVALIDARG);
    // "fifo.runs = 0" is a board whose FIFO does not start: it stays ready (1).
    state_ = state == 2 && c.Config().Int("fifo.runs", 1) == 0 ? 1 : state;
    return c.End(S_OK);
}

HRESULT Fifo::Reserved(const char* name)
{
    Call c(this, name);
    return c.End(E_NOTIMPL);
}

HRESULT Fifo::Reserved5() { return Reserved("Reserved5"); }
HRESULT Fifo::Reserved6() { return Reserved("Reserved6"); }
HRESULT Fifo::Reserved7() { return Reserved("Reserved7"); }
HRESULT Fifo::Reserved9() { return Reserved("Reserved9"); }
HRESULT Fifo::Reserved10() { return Reserved("Reserved10"); }
HRESULT Fifo::Reserved11() { return Reserved("Reserved11"); }
HRESULT Fifo::Reserved12() { return Reserved("Reserved12"); }

HRESULT Fifo::ResetFifo()
{
    Call c(this, "ResetFifo");
    HRESULT hr;
    if (c.Injected(&hr))
        return c.End(hr);
    queuedBytes_ = 0;
    queuedFrames_ = 0;
    return c.End(S_OK);
}

HRESULT Fifo::ConfigureFifo(LONG mode, LONG flags)
{
    Call c(this, "ConfigureFifo");
    c.Line().Arg(mode).Arg(flags);
    HRESULT hr;
    if (c.Injected(&hr))
        return c.End(hr);
    return c.End(S_OK);
}

HRESULT Fifo::AddData(LONG frame, LONG field, LONG type, LONG bytes, BYTE* data)
{
    Call c(this, "AddData");
    c.Line().Arg(frame).Arg(field).Arg(type).Arg(bytes);
    // Small blocks (keyer tables) are journalled whole, in hex, so tests can check them.
    if (data && bytes > 0 && bytes <= 256) {
        std::string hex;
        char two[3];
        for (LONG i = 0; i < bytes; ++i) {
            std::snprintf(two, sizeof two, "%02x", data[i]);
            hex += two;
        }
        c.Line().Word(hex);
    } else {
        c.Line().Word(data ? "data" : "null");
    }
    HRESULT hr;
    if (c.Injected(&hr))
        return c.End(hr);
    if (bytes < 0 || (bytes > 0 && !data) || field < 0 || field > 1)
        return c.End(E_INVALIDARG);
    LONG capacity = static_cast<LONG>(c.Config().Int("fifo.capacity", 65536));
    if (bytes > capacity - queuedBytes_)
        return c.End(E_OUTOFMEMORY);
    queuedBytes_ += bytes;
    if (type == 4)
        ++queuedFrames_;   // the end of a frame
    return c.End(S_OK);
}

HRESULT Fifo::RequestSpace(LONG bytes, LONG flags, LONG* freeBytes, LONG* capacity, LONG* room,
                           LONG* queuedFrames)
{
    Call c(this, "RequestSpace");
    c.Line().Arg(bytes).Arg(flags);
    HRESULT hr;
    if (c.Injected(&hr))
        return c.End(hr);
    LONG cap = static_cast<LONG>(c.Config().Int("fifo.capacity", 65536));
    LONG free = cap - queuedBytes_;
    LONG fits = bytes >= 0 && bytes <= free ? 1 : 0;
    if (freeBytes)
        *freeBytes = free;
    if (capacity)
        *capacity = cap;
    if (room)
        *room = fits;
    if (queuedFrames)
        *queuedFrames = queuedFrames_;
    c.Line().Hresult(S_OK).Out(free).Out(cap).Out(fits).Out(queuedFrames_).Write();
    return S_OK;
}

// --- creation ---------------------------------------------------------------------------------------

namespace {

// "fail.CreateServer" and "fail.CreateMovie" stand for a Play Server that cannot be reached.
bool CreationFails(const char* op, void** out, HRESULT* hr)
{
    long r;
    if (!CurrentSettings()->Fails(op, &r))
        return false;
    if (out)
        *out = nullptr;
    *hr = static_cast<HRESULT>(r);
    JournalLine("ps", "-", op).Hresult(*hr).Write();
    return true;
}

}  // namespace

HRESULT CreateServer(REFIID iid, void** out)
{
    HRESULT hr;
    if (CreationFails("CreateServer", out, &hr))
        return hr;
    Server* s = new Server;
    JournalLine("ps", s->Name(), "Create").Hresult(S_OK).Write();
    hr = s->QueryInterface(iid, out);
    s->Drop();
    return hr;
}

HRESULT CreateMovie(REFIID iid, void** out)
{
    HRESULT hr;
    if (CreationFails("CreateMovie", out, &hr))
        return hr;
    Movie* m = new Movie;
    JournalLine("ps", m->Name(), "Create").Hresult(S_OK).Write();
    hr = m->QueryInterface(iid, out);
    m->Drop();
    return hr;
}

}  // namespace mrvsim
