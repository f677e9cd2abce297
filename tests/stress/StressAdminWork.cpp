// A stress worker's product, version, classification and user operations, and Synchronize.
#include <algorithm>

#include "ProductLookup.h"
#include "StressWorkerOps.h"
#include "engine/admin/Classification.h"
#include "engine/admin/Product.h"
#include "engine/com/EngineObjects.h"

namespace velmora::stress {
namespace {

using com::Bstr;
using com::ComPtr;

Outcome ReadProducts(IExeContext* session, ComPtr<IProductSet>* products) {
    ForgetLastError();
    return OutcomeOf(session->get_ProductSet(products->Put()));
}

} // namespace

JournalRecord StressOperations::AddProduct() {
    const std::string name =
        "w" + std::to_string(plan_.worker + 1) + "-p" + std::to_string(sequence_);
    const std::string description = Tag();
    auto product = engine::CreateObject<engine::CProduct>();
    product->put_Name(Bstr(name).Get());
    product->put_Description(Bstr(description).Get());
    const size_t versions = 1 + Pick(3);
    for (size_t i = 0; i < versions; ++i) {
        ComPtr<IVersion> version;
        product->AddVersion(Bstr("v" + std::to_string(sequence_) + "." + std::to_string(i)).Get(),
                            Bstr("").Get(), 45000.0 + static_cast<double>(i), version.Put());
    }
    JournalRecord record = Begin(op::kAddProduct);
    record.Set("name", name).Set("desc", description);
    ComPtr<IProductSet> products;
    Outcome outcome = ReadProducts(session_.Context(), &products);
    if (outcome.ok) {
        ForgetLastError();
        outcome = OutcomeOf(products->Add(product.Get()));
    }
    if (outcome.ok) {
        LONG id = 0;
        product->get_ID(&id);
        record.Set("id", id);
        products_.push_back(id);
    }
    record.Set("vers", VersionList(product.Get()));
    return Finish(record, outcome);
}

JournalRecord StressOperations::UpdateProduct() {
    if (products_.empty()) return AddProduct();
    const LONG id = products_[Pick(products_.size())];
    const std::string description = Tag();
    JournalRecord record = Begin(op::kUpdateProduct);
    record.Set("id", id).Set("desc", description);
    ComPtr<IProductSet> products;
    Outcome outcome = ReadProducts(session_.Context(), &products);
    if (!outcome.ok) return Finish(record, outcome);
    ComPtr<IProduct> product = FindProduct(products.Get(), id);
    if (!product) {
        std::erase(products_, id);
        return Finish(record, Refused("own product not listed"));
    }
    product->put_Description(Bstr(description).Get());
    LONG versions = 0;
    product->get_VersionCount(&versions);
    // Besides the description, one change of the version list: add, rename or drop a version.
    switch (Pick(4)) {
    case 1: {
        ComPtr<IVersion> added;
        product->AddVersion(Bstr("v" + std::to_string(sequence_)).Get(), Bstr("").Get(), 45100,
                            added.Put());
        record.Set("kind", "addver");
        break;
    }
    case 2:
        if (versions > 0) {
            ComPtr<IVersion> version;
            product->get_Version(static_cast<LONG>(Pick(static_cast<size_t>(versions))),
                                 version.Put());
            if (version) version->put_Name(Bstr(Tag()).Get());
            record.Set("kind", "renver");
        }
        break;
    case 3:
        if (versions > 1) {
            product->RemoveVersionAt(static_cast<LONG>(Pick(static_cast<size_t>(versions))));
            record.Set("kind", "dropver");
        }
        break;
    default:
        break;
    }
    ForgetLastError();
    outcome = OutcomeOf(products->Update());
    record.Set("vers", VersionList(product.Get()));
    return Finish(record, outcome);
}

JournalRecord StressOperations::DeleteProduct() {
    if (products_.empty()) return AddProduct();
    const LONG id = products_[Pick(products_.size())];
    JournalRecord record = Begin(op::kDeleteProduct);
    record.Set("id", id);
    ComPtr<IProductSet> products;
    Outcome outcome = ReadProducts(session_.Context(), &products);
    if (outcome.ok) {
        ForgetLastError();
        outcome = OutcomeOf(products->DeleteByID(id));
    }
    if (outcome.ok) {
        std::erase(products_, id);
        std::erase_if(classes_, [id](const OwnClass& own) { return own.product == id; });
    }
    return Finish(record, outcome);
}

JournalRecord StressOperations::AddClass() {
    ComPtr<IProductSet> products;
    const Outcome read = ReadProducts(session_.Context(), &products);
    LONG productId = 0;
    if (!products_.empty() && Pick(5) != 0) {
        productId = products_[Pick(products_.size())];
    } else if (read.ok) {
        // Any worker's product, racing with its owner's deletion.
        LONG count = 0;
        products->get_Count(&count);
        ComPtr<IProduct> any;
        if (count > 0 && SUCCEEDED(products->get_Item(static_cast<LONG>(Pick(count)), any.Put())))
            any->get_ID(&productId);
    }
    if (productId == 0) return AddProduct();
    const std::string name = Tag();
    JournalRecord record = Begin(op::kAddClass);
    record.Set("prod", productId).Set("name", name);
    if (!read.ok) return Finish(record, read);
    ComPtr<IProduct> product = FindProduct(products.Get(), productId);
    if (!product) {
        std::erase(products_, productId);
        return Finish(record, Refused("product not listed"));
    }
    ComPtr<IClassificationSet> classes;
    ForgetLastError();
    Outcome outcome = OutcomeOf(product->get_ClassificationSet(classes.Put()));
    if (outcome.ok) outcome = OutcomeOf(classes->put_ExeContext(session_.Context()));
    auto classification = engine::CreateObject<engine::CClassification>();
    classification->put_Name(Bstr(name).Get());
    if (outcome.ok) {
        ForgetLastError();
        outcome = OutcomeOf(classes->Add(classification.Get()));
    }
    if (outcome.ok) {
        LONG id = 0;
        classification->get_ID(&id);
        record.Set("id", id);
        classes_.push_back({id, productId});
    }
    return Finish(record, outcome);
}

JournalRecord StressOperations::UpdateClass() {
    if (classes_.empty()) return AddClass();
    const size_t index = Pick(classes_.size());
    const OwnClass target = classes_[index];
    const std::string name = Tag();
    JournalRecord record = Begin(op::kUpdateClass);
    record.Set("id", target.id).Set("prod", target.product).Set("name", name);
    ComPtr<IProductSet> products;
    Outcome outcome = ReadProducts(session_.Context(), &products);
    if (!outcome.ok) return Finish(record, outcome);
    ComPtr<IProduct> product = FindProduct(products.Get(), target.product);
    ComPtr<IClassificationSet> classes;
    if (product && SUCCEEDED(product->get_ClassificationSet(classes.Put()))) {
        LONG count = 0;
        classes->get_Count(&count);
        for (LONG i = 0; i < count; ++i) {
            ComPtr<IClassification> item;
            LONG id = 0;
            if (FAILED(classes->get_Item(i, item.Put())) || FAILED(item->get_ID(&id)) ||
                id != target.id)
                continue;
            item->put_Name(Bstr(name).Get());
            ForgetLastError();
            outcome = OutcomeOf(classes->put_ExeContext(session_.Context()));
            if (outcome.ok) outcome = OutcomeOf(classes->Update());
            return Finish(record, outcome);
        }
    }
    // Its product was deleted by its owner, and the classification with it.
    classes_.erase(classes_.begin() + static_cast<std::ptrdiff_t>(index));
    return Finish(record, Refused("classification not listed"));
}

JournalRecord StressOperations::RenameUser() {
    const std::string name = "Worker " + std::to_string(plan_.worker + 1) + " " + Tag();
    JournalRecord record = Begin(op::kRename);
    record.Set("user", session_.UserId()).Set("name", name);
    ComPtr<IUserSet> users;
    ForgetLastError();
    Outcome outcome = OutcomeOf(session_.Context()->get_AllUser(users.Put()));
    if (!outcome.ok) return Finish(record, outcome);
    LONG count = 0;
    users->get_Count(&count);
    for (LONG i = 0; i < count; ++i) {
        ComPtr<IUser> user;
        LONG id = 0;
        if (FAILED(users->get_Item(i, user.Put())) || FAILED(user->get_ID(&id)) ||
            id != session_.UserId())
            continue;
        user->put_UserName(Bstr(name).Get());
        ForgetLastError();
        return Finish(record, OutcomeOf(users->Update()));
    }
    return Finish(record, Refused("own user not listed"));
}

JournalRecord StressOperations::Synchronize() {
    ForgetLastError();
    return Finish(Begin(op::kSynchronize), OutcomeOf(session_.Context()->Synchronize()));
}

} // namespace velmora::stress
