#pragma once

#include "app/platform/numbers.h"

#include <QtGlobal>

#include <map>
#include <vector>

// Like controls addressed by a 16-bit index. Elements given by the window's
// design are added with add(); further elements are created at run time by
// Load(), which copies element 0, and destroyed by Unload(). Asking for an
// index that holds no element raises a RuntimeError, as the platform does.
//
// The array does not own its elements' lifetime beyond Unload(): design
// elements belong to the window like any child widget.
template <class T>
class ControlArray {
public:
    T *operator()(qint16 index) const
    {
        const auto it = m_elements.find(index);
        if (it == m_elements.end())
            throw RuntimeError(RuntimeError::NoSuchElement, "Control array element doesn't exist");
        return it->second;
    }

    bool exists(qint16 index) const { return m_elements.count(index) != 0; }
    std::size_t count() const { return m_elements.size(); }

    std::vector<qint16> indexes() const
    {
        std::vector<qint16> result;
        result.reserve(m_elements.size());
        for (const auto &element : m_elements)
            result.push_back(element.first);
        return result;
    }

    void add(qint16 index, T *element)
    {
        if (exists(index))
            throw RuntimeError(RuntimeError::ElementExists, "Object already loaded");
        m_elements.emplace(index, element);
        m_design.push_back(index);
    }

    // A new element at index: a hidden copy of element 0 as it is now (see
    // T::copyFrom for what is copied), child of the same parent.
    T *Load(qint16 index)
    {
        if (exists(index))
            throw RuntimeError(RuntimeError::ElementExists, "Object already loaded");
        const T *model = (*this)(0);
        T *element = new T(model->parentWidget());
        element->copyFrom(*model);
        element->hide();
        m_elements.emplace(index, element);
        return element;
    }

    // Destroys an element created by Load(); design elements stay.
    void Unload(qint16 index)
    {
        T *element = (*this)(index);
        for (qint16 design : m_design)
            if (design == index)
                throw RuntimeError(RuntimeError::DesignElement, "Can't unload controls created at design time");
        m_elements.erase(index);
        delete element;
    }

private:
    std::map<qint16, T *> m_elements;
    std::vector<qint16> m_design;
};
