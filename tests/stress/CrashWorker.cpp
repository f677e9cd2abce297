#include "CrashWorker.h"

#include <unistd.h>

#include <exception>
#include <fstream>
#include <iostream>
#include <vector>

#include <velmora/ComSupport.h>

#include "CrashModel.h"
#include "EngineCall.h"
#include "Fingerprint.h"
#include "JournalFile.h"
#include "OperationNames.h"
#include "ProductLookup.h"
#include "WorkerSeed.h"
#include "WorkerSession.h"
#include "engine/admin/Classification.h"
#include "engine/admin/Product.h"
#include "engine/bugs/Bug.h"
#include "engine/bugs/BugSet.h"
#include "engine/com/EngineObjects.h"
#include "engine/log/Log.h"

namespace velmora::stress {
namespace {

using com::Bstr;
using com::ComPtr;

class CrashOperations {
  public:
    CrashOperations(const CrashPlan& plan, WorkerSession& session, JournalWriter& log)
        : plan_(plan), session_(session), log_(log), random_(plan.seed * 0x9E3779B97F4A7C15ull),
          bugs_(engine::CreateObject<engine::CBugSet>()) {
        state_ = ReadCrashState(DatabaseProbe(plan.database));
        // Every bug of every version: the worker attaches files to and deletes bugs of the
        // versions of its own products as well.
        bugs_->SetContext(session.Context());
        Require(bugs_->Open(nullptr), "open the bug set");
    }

    void RunOne(int64_t sequence) {
        sequence_ = sequence;
        const size_t roll = Pick(100);
        JournalRecord end;
        if (roll < 22)
            end = AddBug();
        else if (roll < 38)
            end = AddFile();
        else if (roll < 48)
            end = DeleteBug();
        else if (roll < 55)
            end = RemoveFile();
        else if (roll < 65)
            end = AddProduct();
        else if (roll < 77)
            end = UpdateProduct();
        else if (roll < 83)
            end = DeleteProduct();
        else if (roll < 90)
            end = AddClass();
        else if (roll < 95)
            end = Rename();
        else
            end = Sync();
        log_.Append(end);
        if (end.Number("ok") == 1) ApplyDone(state_, end);
    }

  private:
    size_t Pick(size_t count) { return static_cast<size_t>(NextRandom(random_) % count); }
    std::string Tag() const { return "op" + std::to_string(sequence_); }

    template <class Fact> LONG AnyOf(const std::map<LONG, Fact>& facts, LONG except = 0) {
        std::vector<LONG> ids;
        for (const auto& entry : facts) {
            if (entry.first != except) ids.push_back(entry.first);
        }
        return ids.empty() ? 0 : ids[Pick(ids.size())];
    }

    // Writes the intent before the engine is called, and starts the end record.
    JournalRecord Announce(JournalRecord intent) {
        intent.Set("ev", "begin");
        log_.Append(intent);
        JournalRecord end;
        end.Set("ev", "end").Set("op", intent.Text("op")).Set("n", sequence_);
        return end;
    }
    JournalRecord Intent(const char* name) const {
        JournalRecord intent;
        intent.Set("op", name).Set("n", sequence_);
        return intent;
    }
    static JournalRecord Finish(JournalRecord end, const Outcome& outcome) {
        end.Set("ok", outcome.ok ? 1 : 0);
        if (!outcome.ok) end.Set("msg", outcome.message);
        return end;
    }

    JournalRecord AddBug() {
        const LONG version = AnyOf(state_.versions);
        JournalRecord intent = Intent(op::kAddBug);
        intent.Set("ver", version).Set("desc", Tag()).Set("by", session_.UserId());
        JournalRecord end = Announce(intent);
        end.Set("ver", version).Set("desc", Tag()).Set("by", session_.UserId());
        auto bug = engine::CreateObject<engine::CBug>();
        bug->put_Description(Bstr(Tag()).Get());
        bug->put_ReportedByID(session_.UserId());
        bug->put_ReportedInVersionID(version);
        ComPtr<IBug> added;
        ForgetLastError();
        const Outcome outcome = OutcomeOf(bugs_->Add(bug.Get(), added.Put()));
        if (outcome.ok) {
            LONG id = 0;
            added->get_ID(&id);
            end.Set("id", id);
        }
        return Finish(end, outcome);
    }

    Outcome AttachedFiles(LONG bugId, ComPtr<IFileSet>* files) {
        ComPtr<IBug> bug;
        ForgetLastError();
        Outcome outcome = OutcomeOf(bugs_->GetBugByID(bugId, bug.Put()));
        if (outcome.ok) outcome = OutcomeOf(bug->get_AttachedFiles(files->Put()));
        return outcome;
    }

    JournalRecord AddFile() {
        const LONG bugId = AnyOf(state_.bugs);
        if (bugId == 0) return AddBug();
        const std::string name = Tag() + ".txt";
        const std::string content = PatternBytes(NextRandom(random_), Pick(5000), true);
        const std::string path = plan_.scratch + "/" + name;
        std::ofstream(path, std::ios::binary) << content;
        JournalRecord intent = Intent(op::kAddFile);
        intent.Set("bug", bugId)
            .Set("name", name)
            .Set("size", static_cast<int64_t>(content.size()));
        JournalRecord end = Announce(intent);
        end.Set("bug", bugId).Set("name", name).Set("size", static_cast<int64_t>(content.size()));
        ComPtr<IFileSet> files;
        Outcome outcome = AttachedFiles(bugId, &files);
        if (outcome.ok) {
            ComPtr<IFile> file;
            ForgetLastError();
            outcome = OutcomeOf(files->Add(Bstr(path).Get(), file.Put()));
            LONG id = 0;
            if (outcome.ok) file->get_ID(&id);
            end.Set("id", id);
        }
        ::unlink(path.c_str());
        return Finish(end, outcome);
    }

    JournalRecord DeleteBug() {
        const LONG id = AnyOf(state_.bugs);
        if (id == 0) return AddBug();
        JournalRecord intent = Intent(op::kDeleteBug);
        intent.Set("id", id);
        JournalRecord end = Announce(intent);
        end.Set("id", id);
        ForgetLastError();
        return Finish(end, OutcomeOf(bugs_->RemoveByID(id)));
    }

    JournalRecord RemoveFile() {
        const LONG id = AnyOf(state_.files);
        if (id == 0) return AddFile();
        JournalRecord intent = Intent(op::kRemoveFile);
        intent.Set("id", id);
        JournalRecord end = Announce(intent);
        end.Set("id", id);
        ComPtr<IFileSet> files;
        Outcome outcome = AttachedFiles(state_.files.at(id).bug, &files);
        if (outcome.ok) {
            ForgetLastError();
            outcome = OutcomeOf(files->RemoveByID(id));
        }
        return Finish(end, outcome);
    }

    Outcome Products(ComPtr<IProductSet>* products) {
        ForgetLastError();
        return OutcomeOf(session_.Context()->get_ProductSet(products->Put()));
    }

    JournalRecord AddProduct() {
        auto product = engine::CreateObject<engine::CProduct>();
        const std::string name = "p" + std::to_string(sequence_);
        product->put_Name(Bstr(name).Get());
        product->put_Description(Bstr(Tag()).Get());
        std::string names;
        for (size_t i = 0, count = 1 + Pick(3); i < count; ++i) {
            const std::string version = "v" + std::to_string(sequence_) + "." + std::to_string(i);
            ComPtr<IVersion> added;
            product->AddVersion(Bstr(version).Get(), Bstr("").Get(), 45000, added.Put());
            names += (names.empty() ? "" : ";") + version;
        }
        JournalRecord intent = Intent(op::kAddProduct);
        intent.Set("name", name).Set("desc", Tag()).Set("vernames", names);
        JournalRecord end = Announce(intent);
        end.Set("name", name).Set("desc", Tag());
        ComPtr<IProductSet> products;
        Outcome outcome = Products(&products);
        if (outcome.ok) {
            ForgetLastError();
            outcome = OutcomeOf(products->Add(product.Get()));
        }
        LONG id = 0;
        product->get_ID(&id);
        end.Set("id", id).Set("vers", VersionList(product.Get()));
        return Finish(end, outcome);
    }

    JournalRecord UpdateProduct() {
        const LONG id = AnyOf(state_.products, plan_.productId);
        if (id == 0) return AddProduct();
        ComPtr<IProductSet> products;
        const Outcome read = Products(&products);
        ComPtr<IProduct> product = read.ok ? FindProduct(products.Get(), id) : nullptr;
        if (product) {
            product->put_Description(Bstr(Tag()).Get());
            LONG versions = 0;
            product->get_VersionCount(&versions);
            const size_t change = Pick(3);
            if (change == 0 || versions == 0) {
                ComPtr<IVersion> added;
                product->AddVersion(Bstr("v" + std::to_string(sequence_)).Get(), Bstr("").Get(),
                                    45100, added.Put());
            } else if (change == 1 && versions > 1) {
                product->RemoveVersionAt(static_cast<LONG>(Pick(static_cast<size_t>(versions))));
            } else {
                ComPtr<IVersion> renamed;
                product->get_Version(static_cast<LONG>(Pick(static_cast<size_t>(versions))),
                                     renamed.Put());
                renamed->put_Name(Bstr(Tag()).Get());
            }
        }
        JournalRecord intent = Intent(op::kUpdateProduct);
        intent.Set("id", id).Set("desc", Tag());
        if (product) intent.Set("vers", VersionList(product.Get()));
        JournalRecord end = Announce(intent);
        end.Set("id", id).Set("desc", Tag());
        Outcome outcome = read;
        if (outcome.ok && !product) outcome = Refused("product not listed");
        if (outcome.ok) {
            ForgetLastError();
            outcome = OutcomeOf(products->Update());
            end.Set("vers", VersionList(product.Get()));
        }
        return Finish(end, outcome);
    }

    JournalRecord DeleteProduct() {
        const LONG id = AnyOf(state_.products, plan_.productId);
        if (id == 0) return AddProduct();
        JournalRecord intent = Intent(op::kDeleteProduct);
        intent.Set("id", id);
        JournalRecord end = Announce(intent);
        end.Set("id", id);
        ComPtr<IProductSet> products;
        Outcome outcome = Products(&products);
        if (outcome.ok) {
            ForgetLastError();
            outcome = OutcomeOf(products->DeleteByID(id));
        }
        return Finish(end, outcome);
    }

    JournalRecord AddClass() {
        const LONG productId = AnyOf(state_.products);
        JournalRecord intent = Intent(op::kAddClass);
        intent.Set("prod", productId).Set("name", Tag());
        JournalRecord end = Announce(intent);
        end.Set("prod", productId).Set("name", Tag());
        ComPtr<IProductSet> products;
        Outcome outcome = Products(&products);
        ComPtr<IProduct> product = outcome.ok ? FindProduct(products.Get(), productId) : nullptr;
        if (outcome.ok && !product) outcome = Refused("product not listed");
        ComPtr<IClassificationSet> classes;
        if (outcome.ok) outcome = OutcomeOf(product->get_ClassificationSet(classes.Put()));
        if (outcome.ok) outcome = OutcomeOf(classes->put_ExeContext(session_.Context()));
        auto classification = engine::CreateObject<engine::CClassification>();
        classification->put_Name(Bstr(Tag()).Get());
        if (outcome.ok) {
            ForgetLastError();
            outcome = OutcomeOf(classes->Add(classification.Get()));
            LONG id = 0;
            classification->get_ID(&id);
            end.Set("id", id);
        }
        return Finish(end, outcome);
    }

    JournalRecord Rename() {
        const std::string name = "Crash worker " + Tag();
        JournalRecord intent = Intent(op::kRename);
        intent.Set("user", session_.UserId()).Set("name", name);
        JournalRecord end = Announce(intent);
        end.Set("user", session_.UserId()).Set("name", name);
        ComPtr<IUserSet> users;
        ForgetLastError();
        Outcome outcome = OutcomeOf(session_.Context()->get_AllUser(users.Put()));
        LONG count = 0;
        if (outcome.ok) users->get_Count(&count);
        outcome = outcome.ok ? Refused("own user not listed") : outcome;
        for (LONG i = 0; i < count; ++i) {
            ComPtr<IUser> user;
            LONG id = 0;
            if (FAILED(users->get_Item(i, user.Put())) || FAILED(user->get_ID(&id)) ||
                id != session_.UserId())
                continue;
            user->put_UserName(Bstr(name).Get());
            ForgetLastError();
            outcome = OutcomeOf(users->Update());
            break;
        }
        return Finish(end, outcome);
    }

    JournalRecord Sync() {
        JournalRecord end = Announce(Intent(op::kSynchronize));
        ForgetLastError();
        return Finish(end, OutcomeOf(session_.Context()->Synchronize()));
    }

    const CrashPlan& plan_;
    WorkerSession& session_;
    JournalWriter& log_;
    uint64_t random_;
    int64_t sequence_ = 0;
    CrashState state_;
    ComPtr<engine::CBugSet> bugs_;
};

} // namespace

int RunCrashWorker(const CrashPlan& plan) {
    try {
        log::SetLogDirectoryForTesting(plan.scratch + "/");
        JournalWriter log(plan.log, false);
        WorkerSession session(plan.database, WorkerLogin(0), WorkerPassword(0), plan.versionId);
        CrashOperations operations(plan, session, log);
        for (int64_t sequence = 1; plan.operations == 0 || sequence <= plan.operations; ++sequence)
            operations.RunOne(sequence);
        return 0;
    } catch (const std::exception& error) {
        std::cerr << "crash worker: " << error.what() << "\n";
        return 2;
    }
}

} // namespace velmora::stress
