#pragma once

// An intrusive doubly linked list (head, tail, count) chained through two link
// members of its elements, by default the pool links poolNext and poolPrev.
// An element is on at most one list at a time; removal clears its links.
template <class T, class Link = T, Link* Link::*Next = &Link::poolNext, Link* Link::*Prev = &Link::poolPrev>
struct RbList {
    T* head = nullptr;
    T* tail = nullptr;
    int count = 0;

    static T* NextOf(const T* e) { return static_cast<T*>(e->*Next); }

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
