#include "platform/xaml/controls/Grid.h"

#include "platform/xaml/controls/registration.h"
#include "platform/xaml/core/metadata.h"

#include <numeric>

namespace xaml {

using foundation::box_value;

// ---- Row and column definitions ----

void RowDefinition::OnPropertyChanged(const DependencyPropertyChangedEventArgs&)
{
    if (auto grid = m_owner.lock()) grid->invalidate_layout();
}

void ColumnDefinition::OnPropertyChanged(const DependencyPropertyChangedEventArgs&)
{
    if (auto grid = m_owner.lock()) grid->invalidate_layout();
}

// ---- Grid ----

Grid::Grid()
    : m_rows(foundation::single_threaded_observable_vector<std::shared_ptr<RowDefinition>>()),
      m_columns(foundation::single_threaded_observable_vector<std::shared_ptr<ColumnDefinition>>())
{
    // Definitions report their changes to the grid that holds them.
    auto weak = get_weak(this);
    m_rows->VectorChanged([weak](const auto& rows, const auto&) {
        auto grid = weak.lock();
        if (!grid) return;
        for (const auto& row : *rows)
            if (row) row->m_owner = grid;
        grid->invalidate_layout();
    });
    m_columns->VectorChanged([weak](const auto& columns, const auto&) {
        auto grid = weak.lock();
        if (!grid) return;
        for (const auto& column : *columns)
            if (column) column->m_owner = grid;
        grid->invalidate_layout();
    });
}

const std::shared_ptr<RowDefinitionCollection>& Grid::RowDefinitions() const { return m_rows; }
const std::shared_ptr<ColumnDefinitionCollection>& Grid::ColumnDefinitions() const { return m_columns; }

std::vector<Grid::track> Grid::tracks(bool rows) const
{
    std::vector<track> result;
    if (rows) {
        for (const auto& row : *m_rows) result.push_back({row->Height(), get_value<double>(*row, RowDefinition::MinHeightProperty())});
    } else {
        for (const auto& column : *m_columns)
            result.push_back({column->Width(), get_value<double>(*column, ColumnDefinition::MinWidthProperty())});
    }
    if (result.empty()) result.push_back({GridLength{1.0, GridUnitType::Star}, 0});
    return result;
}

namespace {

struct placement {
    std::size_t first;
    std::size_t span;
};

placement place(std::int32_t index, std::int32_t span, std::size_t count)
{
    const std::size_t first = std::min<std::size_t>(static_cast<std::size_t>(std::max(0, index)), count - 1);
    const std::size_t length = std::min<std::size_t>(static_cast<std::size_t>(std::max(1, span)), count - first);
    return {first, length};
}

}  // namespace

void Grid::measure_tracks(std::vector<track>& rows, std::vector<track>& columns) const
{
    // Auto and star tracks take the largest desired size of the children that sit in them alone,
    // then grow for children that span them; star tracks are then evened out to a common size
    // per unit of weight.
    for (auto* list : {&rows, &columns})
        for (auto& t : *list)
            t.size = t.length.GridUnitType == GridUnitType::Pixel ? t.length.Value : t.min;
    // Each child is measured once; the spanning pass below reuses the sizes.
    struct measured {
        foundation::Size desired;
        placement row;
        placement column;
    };
    std::vector<measured> children;
    for (const auto& child : visual_children()) {
        if (child->Visibility() == xaml::Visibility::Collapsed) continue;
        const auto desired = child->desired_size();
        const auto r = place(get_value<std::int32_t>(*child, RowProperty()), get_value<std::int32_t>(*child, RowSpanProperty()), rows.size());
        const auto c = place(get_value<std::int32_t>(*child, ColumnProperty()), get_value<std::int32_t>(*child, ColumnSpanProperty()), columns.size());
        if (r.span == 1 && rows[r.first].length.GridUnitType != GridUnitType::Pixel)
            rows[r.first].size = std::max(rows[r.first].size, static_cast<double>(desired.Height));
        if (c.span == 1 && columns[c.first].length.GridUnitType != GridUnitType::Pixel)
            columns[c.first].size = std::max(columns[c.first].size, static_cast<double>(desired.Width));
        children.push_back({desired, r, c});
    }
    // A child that spans tracks needs them together at least as large as itself: the shortfall
    // goes to the last star track of the span, else to its last automatic one.
    auto widen = [](std::vector<track>& list, placement p, double desired, double spacing) {
        if (p.span < 2) return;
        double have = spacing * static_cast<double>(p.span - 1);
        for (std::size_t i = p.first; i < p.first + p.span; ++i) have += list[i].size;
        if (desired <= have) return;
        for (const auto unit : {GridUnitType::Star, GridUnitType::Auto})
            for (std::size_t i = p.first + p.span; i-- > p.first;)
                if (list[i].length.GridUnitType == unit) {
                    list[i].size += desired - have;
                    return;
                }
    };
    const double rowSpacing = get_value<double>(*this, RowSpacingProperty());
    const double columnSpacing = get_value<double>(*this, ColumnSpacingProperty());
    for (const auto& child : children) {
        widen(rows, child.row, child.desired.Height, rowSpacing);
        widen(columns, child.column, child.desired.Width, columnSpacing);
    }
    for (auto* list : {&rows, &columns}) {
        double unit = 0;
        for (const auto& t : *list)
            if (t.length.GridUnitType == GridUnitType::Star && t.length.Value > 0) unit = std::max(unit, t.size / t.length.Value);
        for (auto& t : *list)
            if (t.length.GridUnitType == GridUnitType::Star) t.size = std::max(t.min, unit * t.length.Value);
    }
}

foundation::Size Grid::measure_override() const
{
    auto rows = tracks(true);
    auto columns = tracks(false);
    measure_tracks(rows, columns);
    auto total = [](const std::vector<track>& list, double spacing) {
        double sum = spacing * static_cast<double>(list.size() - 1);
        for (const auto& t : list) sum += t.size;
        return sum;
    };
    return {static_cast<float>(total(columns, get_value<double>(*this, ColumnSpacingProperty()))),
            static_cast<float>(total(rows, get_value<double>(*this, RowSpacingProperty())))};
}

void Grid::arrange_override(double x, double y, double width, double height)
{
    auto rows = tracks(true);
    auto columns = tracks(false);
    measure_tracks(rows, columns);

    // Stars share what the fixed and automatic tracks leave.
    auto distribute = [](std::vector<track>& list, double available, double spacing) {
        double fixed = spacing * static_cast<double>(list.size() - 1);
        double weight = 0;
        for (const auto& t : list) {
            if (t.length.GridUnitType == GridUnitType::Star) weight += t.length.Value;
            else fixed += t.size;
        }
        const double left = std::max(0.0, available - fixed);
        for (auto& t : list)
            if (t.length.GridUnitType == GridUnitType::Star)
                t.size = std::max(t.min, weight > 0 ? left * t.length.Value / weight : 0.0);
    };
    const double rowSpacing = get_value<double>(*this, RowSpacingProperty());
    const double columnSpacing = get_value<double>(*this, ColumnSpacingProperty());
    distribute(rows, height, rowSpacing);
    distribute(columns, width, columnSpacing);

    auto offsets = [](const std::vector<track>& list, double start, double spacing) {
        std::vector<double> result;
        for (const auto& t : list) {
            result.push_back(start);
            start += t.size + spacing;
        }
        return result;
    };
    const auto rowAt = offsets(rows, y, rowSpacing);
    const auto columnAt = offsets(columns, x, columnSpacing);

    for (std::size_t i = 0; i < m_rows->Size(); ++i) m_rows->GetAt(static_cast<std::uint32_t>(i))->m_actual = rows[i].size;
    for (std::size_t i = 0; i < m_columns->Size(); ++i)
        m_columns->GetAt(static_cast<std::uint32_t>(i))->m_actual = columns[i].size;

    for (const auto& child : visual_children()) {
        const auto r = place(get_value<std::int32_t>(*child, RowProperty()), get_value<std::int32_t>(*child, RowSpanProperty()), rows.size());
        const auto c = place(get_value<std::int32_t>(*child, ColumnProperty()), get_value<std::int32_t>(*child, ColumnSpanProperty()), columns.size());
        double w = columnSpacing * static_cast<double>(c.span - 1);
        for (std::size_t i = 0; i < c.span; ++i) w += columns[c.first + i].size;
        double h = rowSpacing * static_cast<double>(r.span - 1);
        for (std::size_t i = 0; i < r.span; ++i) h += rows[r.first + i].size;
        child->arrange_in(columnAt[c.first], rowAt[r.first], w, h);
    }
}

void Grid::OnPropertyChanged(const DependencyPropertyChangedEventArgs& args)
{
    Panel::OnPropertyChanged(args);
    if (args.Property() == RowSpacingProperty() || args.Property() == ColumnSpacingProperty()) invalidate_layout();
}

void register_grid()
{
    const TypeName number{u"Int32"};
    const auto relayout = [](const auto& element, const auto&) { invalidate_parent_layout(element); };
    metadata::type_builder(RowDefinition::class_name, u"Microsoft.UI.Xaml.DependencyObject")
        .activatable<RowDefinition>()
        .property(RowDefinition::HeightProperty, {u"Microsoft.UI.Xaml.GridLength", TypeKind::Metadata}, box_value(GridLength{}))
        .property(RowDefinition::MinHeightProperty, {u"Double"}, box_value(0.0));
    metadata::type_builder(ColumnDefinition::class_name, u"Microsoft.UI.Xaml.DependencyObject")
        .activatable<ColumnDefinition>()
        .property(ColumnDefinition::WidthProperty, {u"Microsoft.UI.Xaml.GridLength", TypeKind::Metadata}, box_value(GridLength{}))
        .property(ColumnDefinition::MinWidthProperty, {u"Double"}, box_value(0.0));
    metadata::type_builder(Grid::class_name, Panel::class_name)
        .activatable<Grid>()
        .attached(Grid::RowProperty, number, box_value(std::int32_t{0}), relayout)
        .attached(Grid::ColumnProperty, number, box_value(std::int32_t{0}), relayout)
        .attached(Grid::RowSpanProperty, number, box_value(std::int32_t{1}), relayout)
        .attached(Grid::ColumnSpanProperty, number, box_value(std::int32_t{1}), relayout)
        .property(Grid::RowSpacingProperty, {u"Double"}, box_value(0.0))
        .property(Grid::ColumnSpacingProperty, {u"Double"}, box_value(0.0))
        .collection(u"RowDefinitions", [](const IInspectable& target, const IInspectable& value) {
            foundation::as<Grid>(target)->RowDefinitions()->Append(foundation::as<RowDefinition>(value));
        })
        .collection(u"ColumnDefinitions", [](const IInspectable& target, const IInspectable& value) {
            foundation::as<Grid>(target)->ColumnDefinitions()->Append(foundation::as<ColumnDefinition>(value));
        });
}

}  // namespace xaml
