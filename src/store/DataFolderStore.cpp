#include "store/DataFolderStore.h"

namespace pagelet {

DataFolderStore::DataFolderStore() : m_store(std::make_unique<PlainPageStore>())
{
    m_store->addObserver(*this);
}

DataFolderStore::~DataFolderStore()
{
    m_store->removeObserver(*this);
}

void DataFolderStore::use(std::unique_ptr<PlainPageStore> store)
{
    m_store->removeObserver(*this);
    m_store = std::move(store);
    m_store->addObserver(*this);
}

} // namespace pagelet
