// The simulated Play Server's objects. One process-wide lock guards all of them: the engine's
// worker thread calls objects that the main thread created, without marshalling.
#pragma once

#include <windows.h>
#include <ole2.h>

#include <mutex>
#include <string>
#include <vector>

#include "board/Mrvdhsrvlib.h"
#include "engine/Mrvplayserverlib.h"
#include "sim/playserver/Media.h"

namespace mrvsim {

std::recursive_mutex& ServerLock();
LONG LiveObjects();
HRESULT LibraryTypeInfo(REFIID iid, ITypeInfo** info);

// Every object counts its references and gives its journal name.
class Counted {
public:
    explicit Counted(const char* kind);
    virtual ~Counted();
    ULONG Add();
    ULONG Drop();
    const std::string& Name() const { return name_; }

private:
    LONG refs_ = 1;
    std::string name_;
};

// IDispatch of a dual interface, answered from the type library in the module's resources.
template <class I, const IID& Iid>
class Dispatch : public I {
public:
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override
    {
        if (!count)
            return E_POINTER;
        *count = 1;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID, ITypeInfo** info) override
    {
        if (!info)
            return E_POINTER;
        *info = nullptr;
        return index == 0 ? LibraryTypeInfo(Iid, info) : DISP_E_BADINDEX;
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override
    {
        ITypeInfo* info = nullptr;
        HRESULT hr = LibraryTypeInfo(Iid, &info);
        if (FAILED(hr))
            return hr;
        hr = DispGetIDsOfNames(info, names, count, ids);
        info->Release();
        return hr;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO* excep, UINT* argError) override
    {
        ITypeInfo* info = nullptr;
        HRESULT hr = LibraryTypeInfo(Iid, &info);
        if (FAILED(hr))
            return hr;
        hr = info->Invoke(static_cast<I*>(this), id, flags, params, result, excep, argError);
        info->Release();
        return hr;
    }
};

#define MRVSIM_COUNTED                                                  \
    ULONG STDMETHODCALLTYPE AddRef() override { return Add(); }         \
    ULONG STDMETHODCALLTYPE Release() override { return Drop(); }

class Movie;
class SuperClip;

class Board : public Counted, public Dispatch<IMrvBoard, IID_IMrvBoard>, public IMrvPlay {
public:
    Board();
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    MRVSIM_COUNTED
    HRESULT STDMETHODCALLTYPE BoardGetIndex(LONG* index) override;
    HRESULT STDMETHODCALLTYPE CreateFifo(LONG size, LONG blockSize, LONG* options, IMrvFifo** fifo) override;
};

class Server : public Counted, public Dispatch<IMrvPlayServer, IID_IMrvPlayServer> {
public:
    Server();
    ~Server() override;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    MRVSIM_COUNTED
    HRESULT STDMETHODCALLTYPE GetReady(LONG* ready) override;
    HRESULT STDMETHODCALLTYPE GetScreenSize(LONG board, LONG* width, LONG* height, LONG flags) override;
    HRESULT STDMETHODCALLTYPE GetFilmSuperClip(LONG kind, LONG mode, IMrvPlaySuperClip** clip) override;
    HRESULT STDMETHODCALLTYPE GetBoard(LONG index, IMrvBoard** board) override;
    HRESULT STDMETHODCALLTYPE CreateAVTimeline(LONG flags, LONG videoBytes, LONG audioBytes, LONG dataBytes,
                                               LONG options, IMrvPlayTimeline** timeline) override;

private:
    Board* board_ = nullptr;
};

class Timeline : public Counted, public Dispatch<IMrvPlayTimeline, IID_IMrvPlayTimeline> {
public:
    Timeline();
    ~Timeline() override;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    MRVSIM_COUNTED
    HRESULT STDMETHODCALLTYPE TLineSetState(LONG state) override;
    HRESULT STDMETHODCALLTYPE TLineGetActivity(double* activity) override;
    HRESULT STDMETHODCALLTYPE TLineAddSuperClip(IMrvPlaySuperClip* clip) override;
    HRESULT STDMETHODCALLTYPE TLineReset(LONG flags) override;
    HRESULT STDMETHODCALLTYPE TLineSetPlacement(LONG x, LONG y, LONG width, LONG height) override;
    HRESULT STDMETHODCALLTYPE TLineSetStart(LONG position, LONG flags) override;
    HRESULT STDMETHODCALLTYPE TLineSetRate(double rate, double ramp) override;

private:
    double Played(double now) const;
    void Clear();

    std::vector<SuperClip*> clips_;
    LONG state_ = 0;
    double duration_ = 0;   // seconds of media on the timeline
    double start_ = 0;      // where playing starts, seconds
    double rate_ = 1.0;
    double position_ = 0;   // media seconds played before the current run
    double runStart_ = 0;   // clock time the current run began
    double scale_ = 1.0;    // clock scale of the current run
};

class SuperClip : public Counted, public Dispatch<IMrvPlaySuperClip, IID_IMrvPlaySuperClip> {
public:
    SuperClip();
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    MRVSIM_COUNTED
    HRESULT STDMETHODCALLTYPE ClipGetDuration(double* seconds) override;
    HRESULT STDMETHODCALLTYPE ClipAddMovie(IMrvPlayMovie* movie) override;
    HRESULT STDMETHODCALLTYPE ClipAddProject(BSTR fileName) override;
    HRESULT STDMETHODCALLTYPE ClipGetSize(LONG* width, LONG* height) override;
    double Seconds() const;

private:
    std::vector<MediaInfo> items_;
};

class Movie : public Counted, public Dispatch<IMrvPlayMovie, IID_IMrvPlayMovie> {
public:
    Movie();
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    MRVSIM_COUNTED
    HRESULT STDMETHODCALLTYPE MovieOpenFile(BSTR fileName) override;
    HRESULT STDMETHODCALLTYPE MovieGetInfo(LONG stream, LONG flags, LONG* width, LONG* height, double* seconds,
                                           LONG reserved1, double* frameRate, LONG reserved2) override;
    bool Opened() const { return opened_; }
    const MediaInfo& Info() const { return info_; }

private:
    bool opened_ = false;
    MediaInfo info_;
};

class Fifo : public Counted, public IMrvFifo {
public:
    Fifo(LONG size, LONG blockSize);
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    MRVSIM_COUNTED
    HRESULT STDMETHODCALLTYPE GetFifoState(LONG* state) override;
    HRESULT STDMETHODCALLTYPE SetFifoState(LONG state) override;
    HRESULT STDMETHODCALLTYPE Reserved5() override;
    HRESULT STDMETHODCALLTYPE Reserved6() override;
    HRESULT STDMETHODCALLTYPE Reserved7() override;
    HRESULT STDMETHODCALLTYPE ResetFifo() override;
    HRESULT STDMETHODCALLTYPE Reserved9() override;
    HRESULT STDMETHODCALLTYPE Reserved10() override;
    HRESULT STDMETHODCALLTYPE Reserved11() override;
    HRESULT STDMETHODCALLTYPE Reserved12() override;
    HRESULT STDMETHODCALLTYPE ConfigureFifo(LONG mode, LONG flags) override;
    HRESULT STDMETHODCALLTYPE AddData(LONG frame, LONG field, LONG type, LONG bytes, BYTE* data) override;
    HRESULT STDMETHODCALLTYPE RequestSpace(LONG bytes, LONG flags, LONG* freeBytes, LONG* capacity, LONG* room,
                                           LONG* queuedFrames) override;

private:
    HRESULT Reserved(const char* name);
    LONG state_ = 0;
    LONG queuedBytes_ = 0;
    LONG queuedFrames_ = 0;
};

// Creates the co-classes for the class factory.
HRESULT CreateServer(REFIID iid, void** out);
HRESULT CreateMovie(REFIID iid, void** out);

}  // namespace mrvsim
