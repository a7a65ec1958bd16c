#pragma once

#include <type_traits>

// An intrusive doubly linked list (head, tail, count) chained through two link
// members of its elements, by default the pool links poolNext and poolPrev.
// An element is on at most one list at a time; removal clears its links.
// Link is the class that declares the links (a base class of T for bodies).
template <class T, class Link = std::remove_pointer_t<decltype(T::poolNext)>,
          Link* Link::*Next = &Link::poolNext, Link* Link::*Prev = &Link::poolPrev>
struct RbList {
    T* head = nullptr;
    T* tail = nullptr;
    int count = 0;

    void Append(T* e) {
        e->*Next = nullptr;
        e->*Prev = tail;
        if (tail)
            tail->*Next = e;
        else
            head = e;
        tail = e;
        ++count;
    }

    void PushFront(T* e) {
        e->*Prev = nullptr;
        e->*Next = head;
        if (head)
            head->*Prev = e;
        else
            tail = e;
        head = e;
        ++count;
    }

    // Inserts e in front of before, or at the tail when before is null.
    void InsertBefore(T* e, T* before) {
        if (!before) {
            Append(e);
            return;
        }
        T* prev = static_cast<T*>(before->*Prev);
        e->*Next = before;
        e->*Prev = prev;
        if (prev)
            prev->*Next = e;
        else
            head = e;
        before->*Prev = e;
        ++count;
    }

    void Remove(T* e) {
        T* next = static_cast<T*>(e->*Next);
        T* prev = static_cast<T*>(e->*Prev);
        if (next)
            next->*Prev = prev;
        else
            tail = prev;
        if (prev)
            prev->*Next = next;
        else
            head = next;
        e->*Next = nullptr;
        e->*Prev = nullptr;
        --count;
    }
};
